#include "SqliteEngine.h"

#include "DataLog.h"
#include "DbError.h"
#include "KeyedSelect.h"
#include "RowFetcher.h"
#include "Schema.h"

#include <sqlite3.h>

namespace {

//! Runs a transaction-control statement; throws DbError with the engine's message.
void control(sqlite3 *handle, const char *sql, const QString &statement) {
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle), statement);
}

//! Ends a failed write; the failure being reported already, a rollback that fails only leaves a
//! trace (the engine rolls back itself when it cannot keep the transaction).
void rollback(sqlite3 *handle) {
    if (sqlite3_get_autocommit(handle)) return;
    if (sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK)
        qCDebug(lcData) << "rollback failed:" << sqlite3_errmsg(handle);
}

//! The engine's failure with its neutral category.
DbError categorised(const DbError &e) {
    using C = DbError::Category;
    if (e.category() != C::Other) return e;
    switch (e.code()) {
    case SQLITE_CONSTRAINT_CHECK:
        // Text sizes are CHECKs named after their column with "_len".
        return e.categorised(e.message().contains(QLatin1String("_len")) ? C::TooLong : C::BadValue);
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_TRIGGER: // the account name rule
        return e.categorised(C::Duplicate);
    case SQLITE_CONSTRAINT_DATATYPE:
    case SQLITE_CONSTRAINT_NOTNULL:
    case SQLITE_MISMATCH:
        return e.categorised(C::BadValue);
    }
    switch (e.code() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return e.categorised(C::Busy);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return e.categorised(C::ConnectionLost);
    }
    return e;
}

} // namespace

SqliteEngine::~SqliteEngine() {
    close();
}

void SqliteEngine::open(const QString &path, const EngineOptions &options) {
    try {
        m_file.open(path, options.forceReadOnly, options.busyTimeoutMs);
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

void SqliteEngine::close() {
    m_file.close();
}

void SqliteEngine::setBusyTimeoutMs(int ms) {
    m_file.setBusyTimeoutMs(ms);
}

QSqlDatabase SqliteEngine::database() const {
    const QString &name = m_file.connectionName();
    return name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(name, false);
}

QStringList SqliteEngine::schemaProblems() {
    return Schema::verify(m_file.handle());
}

ResultSet SqliteEngine::select(const QString &text, const QVector<QVariant> &values, bool keyed) {
    sqlite3 *handle = m_file.handle();
    try {
        if (keyed) {
            KeyedSelect select(handle, text);
            select.statement().bindAll(values);
            ResultSet rs = RowFetcher::fetch(select.statement(), select.keyTable());
            if (!select.statement().readOnly()) m_lastInsertId = sqlite3_last_insert_rowid(handle);
            return rs;
        }
        PreparedStatement prepared(handle, text);
        prepared.bindAll(values);
        ResultSet rs = RowFetcher::fetch(prepared);
        if (!prepared.readOnly()) m_lastInsertId = sqlite3_last_insert_rowid(handle);
        return rs;
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

int SqliteEngine::execute(const QString &text, const QVector<QVariant> &values) {
    sqlite3 *handle = m_file.handle();
    try {
        PreparedStatement prepared(handle, text);
        prepared.bindAll(values);

        // A write takes the write lock up front (waiting out other copies up to the busy timeout),
        // so it cannot fail half-way on a lock it could not upgrade.
        const bool ownTransaction = !prepared.readOnly() && sqlite3_get_autocommit(handle);
        if (ownTransaction) control(handle, "BEGIN IMMEDIATE", prepared.text());
        int changed = 0;
        qint64 rowid = 0;
        try {
            prepared.run();
            changed = sqlite3_changes(handle);
            rowid = sqlite3_last_insert_rowid(handle);
            if (ownTransaction) control(handle, "COMMIT", prepared.text());
        } catch (const DbError &) {
            if (ownTransaction) rollback(handle);
            throw;
        }
        m_lastInsertId = rowid;
        return changed;
    } catch (const DbError &e) {
        throw categorised(e);
    }
}
