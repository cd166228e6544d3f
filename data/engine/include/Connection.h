#pragma once

#include "DbError.h"
#include "ExportSheet.h"
#include "LocaleFormats.h"
#include "ResultSet.h"
#include "Statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class Engine;
struct ColumnInfo;
struct sqlite3;

//! The one connection to the shared database: a file (SQLite), or a PostgreSQL server named
//! by a `postgresql://` URL; the engine is chosen once, when the connection opens, and nothing
//! above this class knows which one runs. Every failure throws DbError with the engine's
//! message. Statements run on it one at a time; each write is its own short transaction, unless
//! inTransaction() groups several, waiting out other copies' locks up to the busy timeout.
//!
//! How ADOConnection1's settings map onto this engine:
//! | Setting                          | Here                                                        |
//! |----------------------------------|-------------------------------------------------------------|
//! | Provider                         | SQLite 3 through Qt's QSQLITE driver, rows read on its handle |
//! | Data Source "kelvaro.mdb"        | databaseFile(); a bare name is relative to the working dir  |
//! | Mode Share Deny None             | shared file, rollback journal, busy timeout, short writes   |
//! | Database Locking Mode 1 (row)    | one writer at a time per file; BEGIN IMMEDIATE per write     |
//! | User ID Admin, no password       | no user or password (SQLite has none)                       |
//! | Login prompt none                | nothing asked                                               |
//! | Engine Type 5, Create System DB  | never creates the file (opened with mode=rw, never create)  |
//! | Bulk ops / Bulk transactions     | each statement its own transaction; inTransaction() for more |
//! | Encrypt, Compact, SFP, Registry  | not applicable                                              |
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    //! File name of the database (a bare name is looked up in the working directory), or the
    //! URL of a PostgreSQL database: postgresql://user@host:port/dbname.
    void setDatabaseFile(const QString &path) { m_path = path; }
    QString databaseFile() const { return m_path; }
    //! A database string as messages name it: a file by its absolute path, a server URL as given.
    static QString fullName(const QString &database);
    //! The database string names a PostgreSQL server (a `postgresql://` URL), not a file.
    static bool isServer(const QString &database);
    //! The database string as messages show it: a server URL's password as "***".
    static QString shown(const QString &database);
    //! The failure of opening `database` whose schema has `version` instead of this program's.
    static DbError schemaVersionRefused(const QString &database, int version);
    //! How long a writer waits for another copy's lock before it fails.
    void setBusyTimeoutMs(int ms);
    int busyTimeoutMs() const { return m_busyTimeoutMs; }
    void setLocaleFormats(const LocaleFormats &formats) { m_formats = formats; }
    const LocaleFormats &localeFormats() const { return m_formats; }

    //! Opens the existing file read-write (read-only if the file is); never creates it.
    //! Refuses a file that is not a database, lacks this program's tables, or records another
    //! schema version (DbError::Category::OlderSchema, NewerSchema; unless setAnySchemaVersion).
    void open();
    //! Makes a new database with this program's schema (a new file, or an existing empty server
    //! database: the first version, then every schema step), opens it and runs `fill` in the same
    //! transaction: when anything fails, the database is left as it was (no file; an empty server
    //! database), closed, and the failure is thrown on.
    void create(const std::function<void()> &fill);
    void close();
    bool isOpen() const;
    //! The database was opened read-only.
    bool isReadOnly() const;
    //! Opens read-only even when the file could be written (for checks and tools).
    void setForceReadOnly(bool on) { m_forceReadOnly = on; }
    //! Opens a database of any schema version, checked against its own (the check, the upgrade).
    void setAnySchemaVersion(bool on) { m_anySchemaVersion = on; }
    //! The database is on a PostgreSQL server.
    bool onServer() const;
    //! The schema version the open database records; throws DbError.
    int schemaVersion() const;
    //! Records the schema version; only within inTransaction() (or create()).
    void setSchemaVersion(int version);
    //! Runs schema statements as they are written, for a schema step; only within
    //! inTransaction() (or create()). Throws DbError, which dooms the transaction.
    void runScript(const QString &sql);

    //! Runs a row-returning statement and fetches every row; no read stays open afterwards.
    ResultSet select(const Statement &statement);
    //! Like select(); when each row stands for one row of one table (EditableRows, from the
    //! engine's description of the statement) the rows also carry the table's key
    //! (ResultSet::key, keyTable).
    ResultSet selectKeyed(const Statement &statement);
    //! Runs a statement that returns no rows in its own transaction (or in the one
    //! inTransaction() opened); returns rows changed.
    //! `SELECT ... INTO <sheet> IN "<path>" "Excel 8.0;" FROM ...` writes the selected rows
    //! to a new spreadsheet file (SpreadsheetExport) and returns 0.
    int execute(const Statement &statement);
    //! Runs the export statement `statement` as execute() does, with `furtherSheets` after the
    //! statement's own sheet, in order, in the same new workbook: the whole file or none.
    //! Throws DbError, also when `statement` is no export statement.
    void executeExport(const Statement &statement, const QVector<ExportSheet> &furtherSheets);
    //! Runs `work` as one transaction: its statements are stored together, or not at all when
    //! anything in it fails (a statement, even one whose failure `work` caught; `work` itself;
    //! the commit), and then the failure is thrown on. It takes the write lock up front, waiting
    //! for other copies up to the busy timeout; a connection lost within it is reported, never
    //! opened again. One at a time: refused while one is open.
    void inTransaction(const std::function<void()> &work);
    //! Writes one consistent state of the open database to the new file `path` while other
    //! copies may be writing: a checked database file for a file; for a server, an archive in
    //! pg_dump's custom format (pg_restore loads it into an empty database). Throws DbError,
    //! leaving no file.
    void backupTo(const QString &path);
    //! Key of the row last inserted on this connection.
    qint64 lastInsertId() const;

    //! The value a bound text becomes in `column` (any table's column name); throws DbError.
    QVariant convertFor(const QString &column, const QVariant &value) const;
    //! The value a bound text becomes in `column` of the schema; throws DbError.
    QVariant convertFor(const ColumnInfo &column, const QVariant &value) const;

    //! For the data layer and tools: the Qt connection (its name is unique per Connection).
    QSqlDatabase database() const;
    //! The SQLite handle while a database file is open, else null.
    sqlite3 *handle() const;
    //! What is wrong with the open database's schema; empty when it is ours.
    QStringList schemaProblems() const;

private:
    ResultSet run(const Statement &statement, bool keyed);
    void requireOpen() const;
    void requireTransaction() const;
    QString engineText(const Statement &statement) const;
    QVector<QVariant> convertParams(const QVector<Statement::Param> &params) const;
    //! Runs `work` in the transaction the engine has open, then commits or rolls back.
    void finishTransaction(const std::function<void()> &work);
    //! A statement's failure: within a transaction it dooms the transaction.
    DbError failed(const DbError &e, const Statement &statement);

    QString m_path = QStringLiteral("kelvaro.mdb");
    std::unique_ptr<Engine> m_engine;
    int m_busyTimeoutMs = 10000;
    LocaleFormats m_formats;
    bool m_forceReadOnly = false;
    bool m_anySchemaVersion = false;
    bool m_inTransaction = false;
    bool m_transactionFailed = false;
};
