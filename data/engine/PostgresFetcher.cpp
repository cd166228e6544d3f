#include "PostgresFetcher.h"

#include "PostgresResult.h"
#include "PostgresSchema.h"
#include "PostgresSelectDescriber.h"

#include <optional>

namespace {

// Type oids of the server's built-in types (pg_type.dat).
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    TimeOid = 1083,
    NumericOid = 1700
};

enum class Conversion { Integer, Boolean, Real, Numeric, Time, Bytes, Text };

Conversion conversionFor(Oid type) {
    switch (type) {
    case Int8Oid:
    case Int2Oid:
    case Int4Oid:
    case OidOid:
        return Conversion::Integer;
    case BoolOid:
        return Conversion::Boolean;
    case Float4Oid:
    case Float8Oid:
        return Conversion::Real;
    case NumericOid:
        return Conversion::Numeric;
    case TimeOid:
        return Conversion::Time;
    case ByteaOid:
        return Conversion::Bytes;
    default:
        return Conversion::Text;
    }
}

//! Decimal digits with an optional sign; nothing when the text is anything else.
std::optional<qint64> parseInteger(const char *p, int length) {
    if (length <= 0 || length > 20) return std::nullopt;
    const bool negative = *p == '-';
    int i = negative || *p == '+' ? 1 : 0;
    if (i == length) return std::nullopt;
    quint64 v = 0;
    for (; i < length; ++i) {
        if (p[i] < '0' || p[i] > '9') return std::nullopt;
        v = v * 10 + quint64(p[i] - '0');
    }
    return negative ? -qint64(v) : qint64(v);
}

} // namespace

ResultSet PostgresFetcher::fetch(PGconn *connection, const PostgresCatalog &catalog, bool keyed,
                                 const QString &statement) {
    ResultSet rs;
    const int offset = keyed ? 1 : 0;
    QVector<Conversion> conversions;
    bool described = false;
    std::optional<DbError> failure;
    while (PGresult *raw = PQgetResult(connection)) {
        const PostgresResult result(raw);
        const ExecStatusType status = PQresultStatus(raw);
        if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            if (!failure) failure = PostgresResult::error(raw, connection, statement);
            continue;
        }
        if (failure) continue;
        const int total = PQnfields(raw);
        if (!described) {
            described = true;
            const int n = std::max(0, total - offset);
            rs.columns.resize(n);
            conversions.resize(n);
            for (int c = 0; c < n; ++c) {
                rs.columns[c] = PostgresSelectDescriber::column(raw, c + offset, catalog);
                conversions[c] = conversionFor(PQftype(raw, c + offset));
            }
            if (keyed && total > 0) rs.m_keyTable = catalog.table(PQftable(raw, 0));
        }
        const int n = int(conversions.size());
        for (int row = 0; row < PQntuples(raw); ++row) {
            if (keyed)
                rs.m_keys.push_back(
                    parseInteger(PQgetvalue(raw, row, 0), PQgetlength(raw, row, 0)).value_or(-1));
            for (int c = 0; c < n; ++c) {
                ResultSet::Cell cell{};
                cell.kind = ResultSet::Kind::Null;
                const int field = c + offset;
                if (!PQgetisnull(raw, row, field)) {
                    const char *p = PQgetvalue(raw, row, field);
                    const int length = PQgetlength(raw, row, field);
                    switch (conversions[c]) {
                    case Conversion::Integer:
                    case Conversion::Numeric:
                        if (const auto v = parseInteger(p, length)) {
                            cell.kind = ResultSet::Kind::Integer;
                            cell.integer = *v;
                        } else if (conversions[c] == Conversion::Numeric) {
                            cell.kind = ResultSet::Kind::Real;
                            cell.real = QByteArray::fromRawData(p, length).toDouble();
                        } else {
                            rs.appendUtf8(cell, reinterpret_cast<const unsigned char *>(p), length);
                        }
                        break;
                    case Conversion::Boolean:
                        cell.kind = ResultSet::Kind::Integer;
                        cell.integer = *p == 't' ? 1 : 0;
                        break;
                    case Conversion::Real:
                        cell.kind = ResultSet::Kind::Real;
                        cell.real = QByteArray::fromRawData(p, length).toDouble();
                        break;
                    case Conversion::Time:
                        // Whole minutes read as the file holds them: "13:05", not "13:05:00".
                        rs.appendUtf8(cell, reinterpret_cast<const unsigned char *>(p),
                                      length == 8 && p[5] == ':' && p[6] == '0' && p[7] == '0' ? 5 : length);
                        break;
                    case Conversion::Bytes: {
                        size_t size = 0;
                        unsigned char *bytes =
                            PQunescapeBytea(reinterpret_cast<const unsigned char *>(p), &size);
                        cell.kind = ResultSet::Kind::Blob;
                        cell.integer = rs.m_blobs.size();
                        rs.m_blobs.append(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)));
                        PQfreemem(bytes);
                        break;
                    }
                    case Conversion::Text:
                        rs.appendUtf8(cell, reinterpret_cast<const unsigned char *>(p), length);
                        break;
                    }
                }
                rs.m_cells.push_back(cell);
            }
            ++rs.m_rows;
        }
    }
    if (failure) throw *failure;
    return rs;
}
