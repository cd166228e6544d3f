#include "PostgresEngine.h"

#include "DataLog.h"
#include "KeyedSelect.h"
#include "PostgresDialect.h"
#include "PostgresFetcher.h"
#include "PostgresResult.h"
#include "Schema.h"
#include "StatementRewriter.h"

#include <QDate>
#include <QTime>
#include <optional>

namespace {

// Type oids (pg_type.dat) of the parameters sent typed.
constexpr Oid Int8Oid = 20;

//! Bound values as the client library takes them: text, except bytes sent as binary. Integers
//! go as bigint, so they keep their type wherever they stand (a select list feeding an insert);
//! every other value goes untyped and takes the type of the column it meets.
struct Params {
    QVector<QByteArray> data;
    QVector<Oid> types;
    QVector<const char *> pointers;
    QVector<int> lengths;
    QVector<int> formats;

    explicit Params(const QVector<QByteArray> &values, const QVector<int> &binary)
        : data(values) {
        for (qsizetype i = 0; i < data.size(); ++i) {
            pointers.append(binary[i] < 0 ? nullptr : data[i].constData());
            types.append(binary[i] == 2 ? Int8Oid : 0);
            lengths.append(int(data[i].size()));
            formats.append(binary[i] == 1 ? 1 : 0);
        }
    }
};

//! Encodes the values; `formats` gets -1 for a null, 1 for bytes, 2 for an integer, 0 for text.
QVector<QByteArray> encode(const QVector<QVariant> &values, QVector<int> *formats) {
    QVector<QByteArray> out;
    for (const QVariant &v : values) {
        int format = 0;
        QByteArray text;
        if (v.isNull()) {
            format = -1;
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
                text = QByteArray::number(v.toLongLong());
                format = 2;
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                text = QByteArray::number(v.toDouble(), 'g', 17);
                break;
            case QMetaType::QByteArray:
                text = v.toByteArray();
                format = 1;
                break;
            case QMetaType::QDate:
                text = v.toDate().toString(Qt::ISODate).toUtf8();
                break;
            case QMetaType::QTime:
                text = v.toTime().toString(QStringLiteral("HH:mm")).toUtf8();
                break;
            default:
                text = v.toString().toUtf8();
            }
        }
        out.append(text);
        formats->append(format);
    }
    return out;
}

} // namespace

PostgresEngine::~PostgresEngine() {
    close();
}

PGconn *PostgresEngine::connect(const QString &url, const EngineOptions &options) {
    char *parseError = nullptr;
    const QByteArray dbname = url.toUtf8();
    if (PQconninfoOption *parsed = PQconninfoParse(dbname.constData(), &parseError)) {
        PQconninfoFree(parsed);
    } else {
        const QString why = QString::fromUtf8(parseError ? parseError : "out of memory").trimmed();
        PQfreemem(parseError);
        throw DbError(QStringLiteral("Cannot read the database address '%1': %2").arg(url, why));
    }
    // Later keywords override what the URL says: our encoding and session settings always hold.
    const QByteArray settings =
        QStringLiteral("-c DateStyle=ISO,YMD -c lock_timeout=%1 -c default_transaction_read_only=%2")
            .arg(options.busyTimeoutMs)
            .arg(options.forceReadOnly ? QStringLiteral("on") : QStringLiteral("off"))
            .toUtf8();
    const char *keys[] = {"dbname", "client_encoding", "options", "application_name", nullptr};
    const char *values[] = {dbname.constData(), "UTF8", settings.constData(), "kelvaro", nullptr};
    PGconn *c = PQconnectdbParams(keys, values, 1);
    if (PQstatus(c) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        throw DbError(QStringLiteral("Cannot connect to '%1': %2").arg(url, message))
            .categorised(DbError::Category::ConnectionLost, QStringLiteral("08001"));
    }
    return c;
}

void PostgresEngine::open(const QString &url, const EngineOptions &options) {
    close();
    m_options = options;
    m_connection = connect(url, options);
    m_url = url;
    m_catalog = PostgresCatalog();
    const QStringList problems = PostgresSchema::verify(m_connection, &m_catalog);
    if (!problems.isEmpty()) {
        close();
        throw DbError(
            QStringLiteral("'%1' is not a Kelvaro database: %2").arg(url, problems.join(QLatin1Char(' '))));
    }
}

void PostgresEngine::close() {
    if (m_connection) PQfinish(m_connection);
    m_connection = nullptr;
}

void PostgresEngine::reconnect() {
    PGconn *fresh = connect(m_url, m_options);
    close();
    m_connection = fresh;
}

void PostgresEngine::setBusyTimeoutMs(int ms) {
    m_options.busyTimeoutMs = ms;
    if (m_connection) PostgresResult::exec(m_connection, QStringLiteral("SET lock_timeout = %1").arg(ms));
}

QStringList PostgresEngine::schemaProblems() {
    PostgresCatalog catalog;
    return PostgresSchema::verify(m_connection, &catalog);
}

void PostgresEngine::createDatabase(const QString &url) {
    PGconn *c = connect(url, EngineOptions());
    try {
        PostgresSchema::create(c);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
}

template <typename T> T PostgresEngine::retried(const std::function<T()> &attempt, bool write) {
    m_unsent = false;
    try {
        return attempt();
    } catch (const DbError &e) {
        if (e.category() != DbError::Category::ConnectionLost) throw;
        // A read can always run again. A write only when it never left (the send failed) or the
        // server said it had ended the session before our statement came (shut down or
        // terminated while we were idle): after any other loss the write may have been stored,
        // and running it again could store it twice.
        const QString state = e.engineCode();
        const bool endedBefore = state == QLatin1String("57P01") || state == QLatin1String("57P02") ||
                                 state == QLatin1String("57P03");
        if (write && !endedBefore && !m_unsent) throw;
        qCDebug(lcData) << "connection lost, connecting again:" << e.message();
        try {
            reconnect();
        } catch (const DbError &) {
            throw e;
        }
        return attempt();
    }
}

void PostgresEngine::send(const QString &text, const QVector<QByteArray> &values, const QVector<int> &formats,
                          bool rowByRow) {
    const Params p(values, formats);
    const QByteArray sql = text.toUtf8();
    if (!PQsendQueryParams(m_connection, sql.constData(), int(values.size()), p.types.constData(),
                           p.pointers.constData(), p.lengths.constData(), p.formats.constData(), 0)) {
        m_unsent = true;
        throw PostgresResult::error(nullptr, m_connection, text);
    }
    if (rowByRow && !PQsetSingleRowMode(m_connection)) qCDebug(lcData) << "single-row mode refused";
}

ResultSet PostgresEngine::selectOnce(const QString &text, const QVector<QByteArray> &values,
                                     const QVector<int> &formats, bool keyed) {
    if (!m_connection)
        throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
    const QString engineText = PostgresDialect::translate(text);
    if (keyed && KeyedSelect::looksKeyable(text)) {
        // The server describes the statement without running it: where every result column comes
        // from one of our tables, the rows can carry its key.
        const QByteArray sql = engineText.toUtf8();
        const Params p(values, formats);
        const PostgresResult prepared(
            PQprepare(m_connection, "", sql.constData(), int(values.size()), p.types.constData()));
        if (!prepared.ok()) throw PostgresResult::error(prepared.get(), m_connection, text);
        const PostgresResult description(PQdescribePrepared(m_connection, ""));
        if (!description.ok()) throw PostgresResult::error(description.get(), m_connection, text);
        const int n = PQnfields(description.get());
        const Oid table = n > 0 ? PQftable(description.get(), 0) : 0;
        bool plain = n > 0 && !m_catalog.table(table).isEmpty();
        for (int c = 0; c < n && plain; ++c)
            plain = PQftable(description.get(), c) == table && PQftablecol(description.get(), c) > 0;
        if (plain) {
            const TableInfo *info = Schema::table(m_catalog.table(table));
            send(StatementRewriter::withKeyColumn(engineText, info->columns.first().name), values, formats,
                 true);
            return PostgresFetcher::fetch(m_connection, m_catalog, true, text);
        }
        qCDebug(lcData) << "rows carry no key:" << text;
    }
    send(engineText, values, formats, true);
    return PostgresFetcher::fetch(m_connection, m_catalog, false, text);
}

ResultSet PostgresEngine::select(const QString &text, const QVector<QVariant> &values, bool keyed) {
    QVector<int> formats;
    const QVector<QByteArray> encoded = encode(values, &formats);
    return retried<ResultSet>([&] { return selectOnce(text, encoded, formats, keyed); }, false);
}

int PostgresEngine::execute(const QString &text, const QVector<QVariant> &values) {
    QVector<int> formats;
    const QVector<QByteArray> encoded = encode(values, &formats);
    QString key;
    const QString engineText = PostgresDialect::withReturningKey(PostgresDialect::translate(text), &key);
    return retried<int>(
        [&] {
            if (!m_connection)
                throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
            send(engineText, encoded, formats, false);
            PostgresResult r;
            std::optional<DbError> failure;
            while (PGresult *next = PQgetResult(m_connection)) {
                PostgresResult result(next);
                if (!result.ok() && !failure) failure = PostgresResult::error(next, m_connection, text);
                r = std::move(result);
            }
            if (failure) throw *failure;
            if (!r.get()) throw PostgresResult::error(nullptr, m_connection, text);
            if (!key.isEmpty() && PQntuples(r.get()) > 0)
                m_lastInsertId = QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
            return QByteArray(PQcmdTuples(r.get())).toInt();
        },
        true);
}
