#include "DatabaseCheck.h"

#include "Connection.h"
#include "DbError.h"
#include "Schema.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

// Long enough to wait out other copies' writes, as the program itself does.
constexpr int busyTimeoutMs = 10000;

//! A sound database of an earlier schema version opens in this program only after an upgrade.
QStringList versionNotes(const QString &path, int version) {
    if (version >= Schema::CurrentVersion) return {};
    return {
        QStringLiteral("schema version %1, made by an earlier release: this version of the program opens it "
                       "after 'kelvaro-admin upgrade %2'")
            .arg(version)
            .arg(Connection::shown(path))};
}

int g_pagesRecovered = -1;

//! The engine's log: it names the pages it restored from a hot journal.
void logNotice(void *, int code, const char *message) {
    if (code != SQLITE_NOTICE_RECOVER_ROLLBACK) return;
    int pages = 0;
    g_pagesRecovered = std::sscanf(message, "recovered %d pages", &pages) == 1 ? pages : 0;
}

QByteArray uri(const QString &path, const char *mode) {
    QUrl u = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    u.setQuery(QStringLiteral("mode=") + QLatin1String(mode));
    return u.toEncoded();
}

QString engineMessage(sqlite3 *h, const QString &path) {
    if (sqlite3_extended_errcode(h) == SQLITE_READONLY_ROLLBACK)
        return QStringLiteral("an interrupted write left '%1-journal', and the file cannot be written here; "
                              "it is rolled back when the file is opened by someone who may write it")
            .arg(QFileInfo(path).absoluteFilePath());
    return QString::fromUtf8(sqlite3_errmsg(h));
}

//! The file opened read-only, waiting out other copies' writes; null with `failure` set when
//! it cannot be opened.
sqlite3 *openReadOnly(const QString &path, QString *failure) {
    sqlite3 *h = nullptr;
    if (sqlite3_open_v2(uri(path, "ro").constData(), &h, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK) {
        *failure = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_close_v2(h);
        return nullptr;
    }
    sqlite3_busy_timeout(h, busyTimeoutMs);
    return h;
}

} // namespace

QString DatabaseCheck::recoverInterruptedWrite(const QString &path) {
    if (!QFileInfo::exists(path + QStringLiteral("-journal"))) return QString();
    g_pagesRecovered = -1;
    sqlite3_config(SQLITE_CONFIG_LOG, logNotice, nullptr);
    sqlite3 *h = nullptr;
    // mode=rw never creates the file. The first read rolls back a journal that no running copy
    // holds; a journal that a running copy holds is waited out instead.
    if (sqlite3_open_v2(uri(path, "rw").constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(h, busyTimeoutMs);
        // A failure here is the read-only check's to report: it meets the same file.
        sqlite3_exec(h, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(h);
    sqlite3_config(SQLITE_CONFIG_LOG, nullptr, nullptr);
    if (g_pagesRecovered < 0) return QString();
    return QStringLiteral("a write cut short was rolled back (%1 pages restored from its journal)")
        .arg(g_pagesRecovered);
}

QStringList DatabaseCheck::problems(const QString &path) {
    if (Connection::isServer(path)) {
        // A server keeps its own files sound: what is checked is the schema.
        Connection c;
        c.setDatabaseFile(path);
        c.setForceReadOnly(true);
        c.setAnySchemaVersion(true);
        try {
            c.open();
            QStringList out = c.schemaProblems();
            if (const int version = c.schemaVersion(); version > Schema::CurrentVersion)
                out << Connection::schemaVersionRefused(path, version).message();
            return out;
        } catch (const DbError &e) {
            return {e.message()};
        }
    }
    QString failure;
    sqlite3 *h = openReadOnly(path, &failure);
    if (!h) return {failure};
    QStringList out;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(h, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const QString line =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            if (line != QLatin1String("ok")) out << QStringLiteral("integrity: ") + line;
        }
        if (rc != SQLITE_DONE) out << engineMessage(h, path);
    } else {
        out << engineMessage(h, path);
    }
    sqlite3_finalize(st);
    if (out.isEmpty()) {
        try {
            // The tables of the version the file records; a newer one than this tool knows is
            // checked as far as it knows, and named.
            const int version = Schema::recordedVersion(h);
            out << Schema::verify(h, std::min(version, Schema::CurrentVersion));
            if (version > Schema::CurrentVersion)
                out << Connection::schemaVersionRefused(path, version).message();
        } catch (const DbError &e) {
            out << e.message();
        }
    }
    sqlite3_close_v2(h);
    return out;
}

QStringList DatabaseCheck::notes(const QString &path) {
    if (Connection::isServer(path)) {
        Connection c;
        c.setDatabaseFile(path);
        c.setForceReadOnly(true);
        c.setAnySchemaVersion(true);
        try {
            c.open();
            return versionNotes(path, c.schemaVersion());
        } catch (const DbError &) {
            return {};
        }
    }
    QString failure;
    sqlite3 *h = openReadOnly(path, &failure);
    if (!h) return {};
    QStringList out;
    try {
        out << versionNotes(path, Schema::recordedVersion(h));
        const QStringList blind = Schema::checksBlindToNul(h);
        if (!blind.isEmpty())
            out << QStringLiteral(
                       "made by an earlier version: the checks of %1 stop reading at a NUL character, "
                       "so other tools could store texts there that the column does not hold "
                       "(Kelvaro itself refuses them)")
                       .arg(blind.join(QStringLiteral(", ")));
    } catch (const DbError &) {
        // The check proper has reported what the engine could not read.
    }
    sqlite3_close_v2(h);
    return out;
}
