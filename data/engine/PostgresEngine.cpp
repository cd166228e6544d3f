#include "PostgresEngine.h"

#include "DataLog.h"
#include "DbErrorLog.h"
#include "EditableRows.h"
#include "PostgresDialect.h"
#include "PostgresDump.h"
#include "PostgresFetcher.h"
#include "PostgresParams.h"
#include "PostgresResult.h"
#include "PostgresSelectDescriber.h"
#include "Schema.h"
#include "StatementRewriter.h"

#include <algorithm>
#include <optional>
#include <poll.h>

namespace {

//! The server's lock_timeout for a busy timeout: its 0 would mean waiting for ever, where ours
//! means not waiting, so the shortest wait stands for it.
int lockTimeoutMs(int busyTimeoutMs) {
    return std::max(busyTimeoutMs, 1);
}

} // namespace

PostgresEngine::~PostgresEngine() {
    close();
}

PGconn *PostgresEngine::connect(const QString &url, const EngineOptions &options) {
    char *parseError = nullptr;
    // The client library knows the scheme in small letters only; the option takes any case.
    const qsizetype scheme = url.indexOf(QStringLiteral("://"));
    const QByteArray dbname = (scheme < 0 ? url : url.left(scheme).toLower() + url.mid(scheme)).toUtf8();
    QByteArray urlOptions;
    if (PQconninfoOption *parsed = PQconninfoParse(dbname.constData(), &parseError)) {
        for (const PQconninfoOption *o = parsed; o->keyword; ++o)
            if (qstrcmp(o->keyword, "options") == 0 && o->val) urlOptions = o->val;
        PQconninfoFree(parsed);
    } else {
        const QString why = QString::fromUtf8(parseError ? parseError : "out of memory").trimmed();
        PQfreemem(parseError);
        throw DbError(
            QStringLiteral("Cannot read the database address '%1': %2").arg(Engine::shown(url), why));
    }
    // Later keywords override what the URL says, and a later -c setting an earlier one: the URL's
    // own settings (a schema, say) hold, but our encoding and session settings always win.
    const QByteArray settings =
        urlOptions +
        QStringLiteral(" -c DateStyle=ISO,YMD -c lock_timeout=%1%2")
            .arg(lockTimeoutMs(options.busyTimeoutMs))
            // Never "off": a server that keeps this role read-only is obeyed.
            .arg(options.forceReadOnly ? QStringLiteral(" -c default_transaction_read_only=on") : QString())
            .toUtf8();
    const char *keys[] = {"dbname", "client_encoding", "options", "fallback_application_name", nullptr};
    const char *values[] = {dbname.constData(), "UTF8", settings.constData(), "kelvaro", nullptr};
    PGconn *c = PQconnectdbParams(keys, values, 1);
    if (PQstatus(c) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        throw DbError(QStringLiteral("Cannot connect to '%1': %2").arg(Engine::shown(url), message))
            .categorised(DbError::Category::ConnectionLost, QStringLiteral("08001"));
    }
    return c;
}

void PostgresEngine::startSession(const QString &url, const EngineOptions &options) {
    close();
    m_options = options;
    m_connection = connect(url, options);
    m_url = url;
    m_catalog = PostgresCatalog();
}

void PostgresEngine::open(const QString &url, const EngineOptions &options) {
    startSession(url, options);
    QStringList problems;
    int version = 1;
    try {
        // A database of another version is not opened, and nothing is written to it: a newer one
        // at once, an older one once it has shown to be ours.
        version = PostgresSchema::recordedVersion(m_connection);
        if (version > Schema::CurrentVersion && !options.anySchemaVersion)
            throw Engine::schemaVersionRefused(url, version);
        problems =
            PostgresSchema::verify(m_connection, &m_catalog, std::min(version, Schema::CurrentVersion));
    } catch (const DbError &) {
        close();
        throw;
    }
    if (!problems.isEmpty()) {
        close();
        throw DbError(QStringLiteral("'%1' is not a Kelvaro database: %2")
                          .arg(Engine::shown(url), problems.join(QLatin1Char(' '))));
    }
    if (version < Schema::CurrentVersion && !options.anySchemaVersion) {
        close();
        throw Engine::schemaVersionRefused(url, version);
    }
    // Asked once: outside a transaction block, transaction_read_only is the session's default.
    try {
        m_sessionReadOnly =
            PostgresResult::exec(
                m_connection, QStringLiteral("SELECT current_setting('transaction_read_only') = 'on' OR NOT ("
                                             "has_table_privilege('customer', 'INSERT, UPDATE, DELETE') OR "
                                             "has_table_privilege('menu', 'INSERT, UPDATE, DELETE') OR "
                                             "has_table_privilege('ordern', 'INSERT, UPDATE, DELETE'))"))
                .text(0, 0) == QLatin1String("t");
    } catch (const DbError &) {
        close();
        throw;
    }
}

void PostgresEngine::create(const QString &url, const EngineOptions &options) {
    startSession(url, options);
    try {
        PostgresResult::exec(m_connection, QStringLiteral("BEGIN"));
        m_inTransaction = true;
        PostgresSchema::create(m_connection);
        const QStringList problems = PostgresSchema::verify(m_connection, &m_catalog, 1);
        if (!problems.isEmpty()) throw DbError(problems.join(QLatin1Char(' ')));
    } catch (const DbError &) {
        rollback();
        close();
        throw;
    }
}

void PostgresEngine::close() {
    if (m_connection) PQfinish(m_connection);
    m_connection = nullptr;
    m_inTransaction = false;
}

void PostgresEngine::begin() {
    // Nothing is open yet, so a session found lost may be opened again for it.
    retried<int>(
        [&] {
            if (!m_connection)
                throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
            PostgresResult::exec(m_connection, QStringLiteral("BEGIN"));
            return 0;
        },
        false);
    m_inTransaction = true;
}

void PostgresEngine::commit() {
    m_inTransaction = false;
    const PostgresResult r = PostgresResult::exec(m_connection, QStringLiteral("COMMIT"));
    // The server answers COMMIT with ROLLBACK when a statement of the transaction had failed.
    if (qstrcmp(PQcmdStatus(r.get()), "COMMIT") != 0)
        throw DbError(QStringLiteral("The server rolled the transaction back; nothing of it was stored."));
}

void PostgresEngine::rollback() {
    if (!m_inTransaction || !m_connection) return;
    m_inTransaction = false;
    // On a lost session the server has dropped the transaction already.
    const PostgresResult r(PQexec(m_connection, "ROLLBACK"));
    if (!r.ok()) qCDebug(lcData) << "rollback failed:" << PQerrorMessage(m_connection);
}

void PostgresEngine::backup(const QString &path) {
    PostgresDump::write(m_url, path);
}

void PostgresEngine::reconnect() {
    PGconn *fresh = connect(m_url, m_options);
    close();
    m_connection = fresh;
}

void PostgresEngine::setBusyTimeoutMs(int ms) {
    m_options.busyTimeoutMs = ms;
    if (m_connection)
        PostgresResult::exec(m_connection, QStringLiteral("SET lock_timeout = %1").arg(lockTimeoutMs(ms)));
}

QStringList PostgresEngine::schemaProblems() {
    PostgresCatalog catalog;
    const QStringList problems =
        PostgresSchema::verify(m_connection, &catalog, std::min(schemaVersion(), Schema::CurrentVersion));
    // Tables a step added are known from now on, for the rows' keys.
    if (problems.isEmpty()) m_catalog = catalog;
    return problems;
}

int PostgresEngine::schemaVersion() {
    if (!m_connection)
        throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
    return PostgresSchema::recordedVersion(m_connection);
}

void PostgresEngine::setSchemaVersion(int version) {
    PostgresSchema::recordVersion(m_connection, version);
}

void PostgresEngine::runScript(const QString &sql) {
    PostgresResult::exec(m_connection, sql);
}

template <typename T> T PostgresEngine::retried(const std::function<T()> &attempt, bool write) {
    m_unsent = false;
    try {
        return attempt();
    } catch (const DbError &e) {
        if (e.category() != DbError::Category::ConnectionLost) throw;
        // The transaction went with the session: what follows must not run on a new one and be
        // stored without what came before.
        if (m_inTransaction) throw;
        // A read can always run again. A write only when it never left (the send failed) or the
        // server said it had ended the session before our statement came (shut down or
        // terminated while we were idle): after any other loss the write may have been stored,
        // and running it again could store it twice.
        const QString state = e.engineCode();
        const bool endedBefore = state == QLatin1String("57P01") || state == QLatin1String("57P02") ||
                                 state == QLatin1String("57P03");
        if (write && !endedBefore && !m_unsent) throw;
        DbErrorLog::write(lcData(), "connection lost, connecting again", e);
        try {
            reconnect();
        } catch (const DbError &) {
            throw e;
        }
        return attempt();
    }
}

void PostgresEngine::send(const QString &text, const PostgresParams &params, bool rowByRow) {
    const QByteArray sql = text.toUtf8();
    // Whatever the server said while we were idle is read first: a session it ended then (shut
    // down, restarted, terminated) is known lost before the statement leaves, so even a write
    // can go again over a new session.
    // The end of the session may come after a warning, so it is read until nothing more waits.
    pollfd waiting{PQsocket(m_connection), POLLIN, 0};
    for (int reads = 0; reads < 8 && PQstatus(m_connection) == CONNECTION_OK && ::poll(&waiting, 1, 0) > 0;
         ++reads)
        PQconsumeInput(m_connection);
    if (PQstatus(m_connection) != CONNECTION_OK) {
        m_unsent = true;
        throw PostgresResult::error(nullptr, m_connection, text);
    }
    if (!PQsendQueryParams(m_connection, sql.constData(), params.count(), params.types(), params.values(),
                           params.lengths(), params.formats(), 0)) {
        m_unsent = true;
        throw PostgresResult::error(nullptr, m_connection, text);
    }
    if (rowByRow && !PQsetSingleRowMode(m_connection)) qCDebug(lcData) << "single-row mode refused";
}

QString PostgresEngine::prepareKeyed(const QString &engineText, const PostgresParams &params) {
    const QByteArray sql = engineText.toUtf8();
    SelectDescription d;
    if (!PostgresSelectDescriber::describePlan(m_connection, sql, params, &d)) return QString();
    // A plan that reads no table (a condition known to be false) leaves the columns to say which.
    if (d.tablesRead.isEmpty() && !d.compound) {
        if (!PostgresSelectDescriber::prepare(m_connection, sql, params, m_catalog, &d.columns))
            return QString();
        for (const ResultColumn &c : std::as_const(d.columns))
            if (!c.table.isEmpty() && !d.tablesRead.contains(c.table)) d.tablesRead << c.table;
    }
    const QString table = EditableRows(d).table();
    const TableInfo *info = table.isEmpty() ? nullptr : Schema::table(table);
    if (!info) return QString();
    // The same select with the key in front, prepared; its description tells where every column
    // comes from, the key included. Ordered by the key as well where the server takes that.
    const QString key = info->columns.first().name;
    const QString withKey = StatementRewriter::withKeyColumn(engineText, key);
    for (const QString &candidate : {PostgresDialect::withKeyOrder(withKey), withKey}) {
        QVector<ResultColumn> columns;
        if (PostgresSelectDescriber::prepare(m_connection, candidate.toUtf8(), params, m_catalog, &columns) &&
            !columns.isEmpty() && columns.first().table.compare(info->name, Qt::CaseInsensitive) == 0 &&
            columns.first().originName.compare(key, Qt::CaseInsensitive) == 0) {
            d.columns = columns.mid(1);
            if (EditableRows(d).table() == table) return info->name;
        }
    }
    qCDebug(lcData) << "rows of" << table << "carry no key:" << engineText;
    return QString();
}

ResultSet PostgresEngine::selectOnce(const QString &text, const PostgresParams &params, bool keyed) {
    if (!m_connection)
        throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
    const QString engineText = PostgresDialect::translate(text);
    if (keyed && !prepareKeyed(engineText, params).isEmpty()) {
        if (!PQsendQueryPrepared(m_connection, "", params.count(), params.values(), params.lengths(),
                                 params.formats(), 0)) {
            m_unsent = true;
            throw PostgresResult::error(nullptr, m_connection, text);
        }
        if (!PQsetSingleRowMode(m_connection)) qCDebug(lcData) << "single-row mode refused";
        return PostgresFetcher::fetch(m_connection, m_catalog, true, text);
    }
    send(engineText, params, true);
    return PostgresFetcher::fetch(m_connection, m_catalog, false, text);
}

ResultSet PostgresEngine::select(const QString &text, const QVector<QVariant> &values, bool keyed) {
    const PostgresParams params(values);
    return retried<ResultSet>([&] { return selectOnce(text, params, keyed); }, false);
}

int PostgresEngine::execute(const QString &text, const QVector<QVariant> &values) {
    const PostgresParams params(values);
    QString key;
    const QString engineText = PostgresDialect::withReturningKey(PostgresDialect::translate(text), &key);
    return retried<int>(
        [&] {
            if (!m_connection)
                throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
            // Refused as the server refuses a NUL it is sent; nothing is stored.
            if (params.textWithNul() >= 0)
                throw DbError(QStringLiteral("invalid byte sequence for encoding \"UTF8\": 0x00"), 0, text)
                    .categorised(DbError::Category::BadValue, QStringLiteral("22021"));
            send(engineText, params, false);
            PostgresResult r;
            std::optional<DbError> failure;
            while (PGresult *next = PQgetResult(m_connection)) {
                PostgresResult result(next);
                if (!result.ok() && !failure) failure = PostgresResult::error(next, m_connection, text);
                r = std::move(result);
            }
            if (failure) throw *failure;
            if (!r.get()) throw PostgresResult::error(nullptr, m_connection, text);
            // The keys come in the order the rows went in: the last is the last inserted.
            if (const int rows = PQntuples(r.get()); !key.isEmpty() && rows > 0)
                m_lastInsertId = QByteArray(PQgetvalue(r.get(), rows - 1, 0)).toLongLong();
            return QByteArray(PQcmdTuples(r.get())).toInt();
        },
        true);
}
