#pragma once

#include "BusyWait.h"
#include "DbError.h"

#include <QString>

struct sqlite3;

//! Opening and verifying the database file through Qt's SQLite driver: the file must exist
//! (it is never created), be a database, and hold this program's tables. The Qt connection
//! owns the engine's handle; this class names it and hands the handle out.
class DatabaseFile {
public:
    DatabaseFile() = default;
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile &) = delete;
    DatabaseFile &operator=(const DatabaseFile &) = delete;

    //! Opens `path` read-write (read-only when asked or when the file is), with `busyTimeoutMs`
    //! for other copies' locks; checks the schema of the version the file records (refusing
    //! another version than this program's unless `anySchemaVersion`) and installs the text
    //! collation. Throws DbError with the engine's message and code; on failure nothing stays
    //! open and nothing was written.
    void open(const QString &path, bool forceReadOnly, int busyTimeoutMs, bool anySchemaVersion = false);
    void close();
    sqlite3 *handle() const { return m_handle; }
    //! Name of the Qt connection; empty while closed.
    const QString &connectionName() const { return m_name; }
    bool readOnly() const { return m_readOnly; }
    //! How long a statement waits for other copies' locks before it fails, from now on.
    void setBusyTimeoutMs(int ms) { m_busyWait.setCeilingMs(ms); }

private:
    [[noreturn]] void abandon(const QString &message, int code);
    [[noreturn]] void abandon(const DbError &error);

    QString m_name;
    sqlite3 *m_handle = nullptr;
    bool m_readOnly = false;
    BusyWait m_busyWait;
};
