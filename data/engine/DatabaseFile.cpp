#include "DatabaseFile.h"

#include "AccountNameRule.h"
#include "DbError.h"
#include "Engine.h"
#include "Schema.h"
#include "TextCollation.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <algorithm>
#include <sqlite3.h>

namespace {

QAtomicInt g_connectionCounter;

QString str16(const void *p) {
    return p ? QString::fromUtf16(static_cast<const char16_t *>(p)) : QString();
}

//! What the first read's failure means for whoever opens the file, and what to do about it.
QString firstReadFailure(const QString &path, const DbError &e) {
    switch (e.code() & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Cannot open '%1' now: another program keeps it locked (%2). Try again later.")
            .arg(path, e.message());
    case SQLITE_CORRUPT:
        return QStringLiteral("Cannot open '%1': the file is damaged (%2). Run 'kelvaro-admin check' on it.")
            .arg(path, e.message());
    case SQLITE_NOTADB:
        return QStringLiteral("Cannot open '%1': file is not a database.").arg(path);
    default:
        break;
    }
    if (e.code() == SQLITE_READONLY_ROLLBACK)
        return QStringLiteral("Cannot open '%1': a write cut short left a journal that must be rolled back, "
                              "and the file cannot be written here (%2). Run 'kelvaro-admin check' on it.")
            .arg(path, e.message());
    return QStringLiteral("Cannot open '%1': %2").arg(path, e.message());
}

} // namespace

DatabaseFile::~DatabaseFile() {
    close();
}

void DatabaseFile::close() {
    if (m_name.isEmpty()) return;
    m_handle = nullptr;
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

void DatabaseFile::abandon(const QString &message, int code) {
    abandon(DbError(message, code));
}

void DatabaseFile::abandon(const DbError &error) {
    close();
    throw error;
}

void DatabaseFile::open(const QString &file, bool forceReadOnly, int busyTimeoutMs, bool anySchemaVersion) {
    const QFileInfo info(file);
    const QString path = info.absoluteFilePath();
    if (!info.exists()) throw DbError(QStringLiteral("Could not find file '%1'.").arg(path), SQLITE_CANTOPEN);
    if (!info.isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path), SQLITE_CANTOPEN);
    m_readOnly = forceReadOnly || !info.isWritable();

    // mode=rw never creates the file, even if it vanished since the check above.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(m_readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    m_name = QStringLiteral("kelvaro-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(QString::fromUtf8(uri.toEncoded()));
        QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
        if (m_readOnly) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            const QString msg = db.lastError().text();
            db = QSqlDatabase();
            abandon(QStringLiteral("Cannot open '%1': %2").arg(path, msg), SQLITE_CANTOPEN);
        }
        const QVariant h = db.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(h.data());
    }
    if (!m_handle) abandon(QStringLiteral("Cannot open '%1': the driver gave no handle.").arg(path), 0);
    m_busyWait.install(m_handle, busyTimeoutMs);
    sqlite3_extended_result_codes(m_handle, 1);
    // The engine opens a file it may not write read-only, whatever was asked for.
    if (sqlite3_db_readonly(m_handle, "main") == 1) m_readOnly = true;

    // Reading the schema's version is the first read: a file that is not a database fails
    // here, and nothing has been written to it. A file of another version is not opened: a newer
    // one at once, an older one once it has shown to be ours.
    int version = 1;
    QStringList problems;
    try {
        version = Schema::recordedVersion(m_handle);
        if (version > Schema::CurrentVersion && !anySchemaVersion)
            abandon(Engine::schemaVersionRefused(path, version));
        problems = Schema::verify(m_handle, std::min(version, Schema::CurrentVersion));
    } catch (const DbError &e) {
        if (e.category() != DbError::Category::Other) throw;
        abandon(firstReadFailure(path, e), e.code());
    }
    if (!problems.isEmpty())
        abandon(
            QStringLiteral("'%1' is not a Kelvaro database: %2").arg(path, problems.join(QLatin1Char(' '))),
            0);
    if (version < Schema::CurrentVersion && !anySchemaVersion)
        abandon(Engine::schemaVersionRefused(path, version));
    if (TextCollation::install(m_handle) != SQLITE_OK)
        abandon(
            QStringLiteral("Cannot register the text collation: %1").arg(str16(sqlite3_errmsg16(m_handle))),
            sqlite3_extended_errcode(m_handle));
    if (AccountNameRule::install(m_handle) != SQLITE_OK)
        abandon(
            QStringLiteral("Cannot install the account name rule: %1").arg(str16(sqlite3_errmsg16(m_handle))),
            sqlite3_extended_errcode(m_handle));
}
