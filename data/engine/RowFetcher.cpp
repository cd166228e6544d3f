#include "RowFetcher.h"

#include "PreparedStatement.h"

#include <sqlite3.h>

ResultSet RowFetcher::fetch(PreparedStatement &statement, const QString &keyTable) {
    sqlite3_stmt *st = statement.get();
    ResultSet rs;
    rs.m_keyTable = keyTable;
    const int offset = keyTable.isEmpty() ? 0 : 1;
    const int total = statement.columnCount();
    const int n = total - offset;
    rs.columns.resize(n);
    for (int c = 0; c < n; ++c)
        rs.columns[c] = {statement.columnName(c + offset), statement.tableName(c + offset),
                         statement.originName(c + offset)};

    rs.m_cells.reserve(size_t(n) * 256);
    rs.m_text.reserve(size_t(n) * 256 * 8);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (offset) rs.m_keys.push_back(sqlite3_column_int64(st, 0));
        for (int c = offset; c < total; ++c) {
            // One call per cell into the statement; the value accessors that follow skip the
            // statement's lock and error bookkeeping, which this one thread never needs.
            sqlite3_value *v = sqlite3_column_value(st, c);
            ResultSet::Cell cell{};
            switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER:
                cell.kind = ResultSet::Kind::Integer;
                cell.integer = sqlite3_value_int64(v);
                break;
            case SQLITE_FLOAT:
                cell.kind = ResultSet::Kind::Real;
                cell.real = sqlite3_value_double(v);
                break;
            case SQLITE_TEXT: {
                const unsigned char *p = sqlite3_value_text(v);
                rs.appendUtf8(cell, p, sqlite3_value_bytes(v));
                break;
            }
            case SQLITE_BLOB: {
                const auto *p = static_cast<const char *>(sqlite3_value_blob(v));
                cell.kind = ResultSet::Kind::Blob;
                cell.integer = rs.m_blobs.size();
                rs.m_blobs.append(QByteArray(p, sqlite3_value_bytes(v)));
                break;
            }
            default:
                cell.kind = ResultSet::Kind::Null;
            }
            rs.m_cells.push_back(cell);
        }
        ++rs.m_rows;
    }
    if (rc != SQLITE_DONE) statement.fail();
    return rs;
}
