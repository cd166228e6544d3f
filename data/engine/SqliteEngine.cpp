#include "SqliteEngine.h"

#include "DataLog.h"
#include "DbError.h"
#include "KeyedSelect.h"
#include "RowFetcher.h"
#include "Schema.h"
#include "TextCollation.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace {

//! Runs a transaction-control statement; throws DbError with the engine's message.
void control(sqlite3 *handle, const char *sql, const QString &statement) {
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle), statement);
}

//! Ends a failed write; the failure being reported already, a rollback that fails only leaves a
//! trace (the engine rolls back itself when it cannot keep the transaction).
void rollbackWrite(sqlite3 *handle) {
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
        m_file.open(path, options.forceReadOnly, options.busyTimeoutMs, options.anySchemaVersion);
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

void SqliteEngine::create(const QString &path, const EngineOptions &options) {
    Schema::createFirstVersion(path);
    try {
        EngineOptions firstVersion = options;
        firstVersion.anySchemaVersion = true;
        open(path, firstVersion);
        begin();
    } catch (const DbError &) {
        close();
        QFile::remove(path);
        throw;
    }
    m_created = path;
}

void SqliteEngine::close() {
    m_file.close();
}

void SqliteEngine::begin() {
    // The write lock up front, waiting out other copies up to the busy timeout: no statement of
    // the transaction can then fail on a lock it could not upgrade.
    try {
        control(m_file.handle(), "BEGIN IMMEDIATE", QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

void SqliteEngine::commit() {
    try {
        control(m_file.handle(), "COMMIT", QStringLiteral("COMMIT"));
    } catch (const DbError &e) {
        throw categorised(e);
    }
    m_created.clear();
}

void SqliteEngine::rollback() {
    if (m_file.handle()) rollbackWrite(m_file.handle());
    if (m_created.isEmpty()) return;
    // A file made by create() goes again with its transaction.
    close();
    QFile::remove(m_created);
    QFile::remove(m_created + QStringLiteral("-journal"));
    m_created.clear();
}

void SqliteEngine::backup(const QString &path) {
    sqlite3 *dest = nullptr;
    try {
        const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
        if (sqlite3_open_v2(uri.constData(), &dest,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                            nullptr) != SQLITE_OK) {
            const int error = sqlite3_system_errno(dest);
            throw DbError(error ? QString::fromLocal8Bit(strerror(error))
                                : QString::fromUtf8(sqlite3_errmsg(dest)),
                          sqlite3_extended_errcode(dest));
        }
        // The engine's online backup copies one consistent state of the file; copies of the
        // program that write meanwhile wait for it or make it start again.
        sqlite3_backup *b = sqlite3_backup_init(dest, "main", m_file.handle(), "main");
        if (!b) throw DbError(QString::fromUtf8(sqlite3_errmsg(dest)), sqlite3_extended_errcode(dest));
        int rc;
        // Short waits at random moments find a gap between other copies' writes; a minute at
        // most in all.
        QDeadlineTimer deadline(60000);
        while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED || rc == SQLITE_OK) {
            if (rc == SQLITE_OK) continue;
            if (deadline.hasExpired()) break;
            QThread::msleep(2 + QRandomGenerator::global()->bounded(20));
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE) throw DbError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
        // The copy is read back whole before anyone relies on it.
        TextCollation::install(dest);
        QStringList problems;
        const char *integrity = "SELECT group_concat(integrity_check, '; ') FROM pragma_integrity_check "
                                "WHERE integrity_check <> 'ok'";
        PreparedStatement check(dest, QString::fromLatin1(integrity));
        const ResultSet found = RowFetcher::fetch(check);
        if (found.rowCount() > 0 && !found.value(0, 0).toString().isEmpty())
            problems << found.value(0, 0).toString();
        problems << Schema::verify(dest, std::min(Schema::recordedVersion(dest), Schema::CurrentVersion));
        if (!problems.isEmpty())
            throw DbError(QStringLiteral("the copy fails its check: ") + problems.join(QStringLiteral("; ")));
        sqlite3_close_v2(dest);
    } catch (const DbError &e) {
        sqlite3_close_v2(dest);
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw categorised(e);
    }
}

void SqliteEngine::setBusyTimeoutMs(int ms) {
    m_file.setBusyTimeoutMs(ms);
}

QSqlDatabase SqliteEngine::database() const {
    const QString &name = m_file.connectionName();
    return name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(name, false);
}

QStringList SqliteEngine::schemaProblems() {
    return Schema::verify(m_file.handle(), std::min(schemaVersion(), Schema::CurrentVersion));
}

int SqliteEngine::schemaVersion() {
    try {
        return Schema::recordedVersion(m_file.handle());
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

void SqliteEngine::setSchemaVersion(int version) {
    try {
        Schema::recordVersion(m_file.handle(), version);
    } catch (const DbError &e) {
        throw categorised(e);
    }
}

void SqliteEngine::runScript(const QString &sql) {
    char *error = nullptr;
    if (sqlite3_exec(m_file.handle(), sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(m_file.handle()));
        sqlite3_free(error);
        throw categorised(DbError(message, sqlite3_extended_errcode(m_file.handle()), sql));
    }
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
            if (ownTransaction) rollbackWrite(handle);
            throw;
        }
        m_lastInsertId = rowid;
        return changed;
    } catch (const DbError &e) {
        throw categorised(e);
    }
}
