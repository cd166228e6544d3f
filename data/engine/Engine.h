#pragma once

#include "DbError.h"
#include "ResultSet.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

struct sqlite3;

//! How a connection asks its engine to open.
struct EngineOptions {
    //! Open without writing anything (checks and tools), even where writing is allowed.
    bool forceReadOnly = false;
    //! How long a writer waits for another session's lock before it fails.
    int busyTimeoutMs = 10000;
    //! Open a database of another schema version than this program's, checking it against the
    //! schema of its own version (the check and the upgrade); otherwise such a database is
    //! refused with DbError::Category::OlderSchema or NewerSchema and nothing is written.
    bool anySchemaVersion = false;
};

//! One database engine behind Connection: the SQLite file or a PostgreSQL server. Statements
//! reach it with `?` placeholders, date literals already translated and values already
//! converted to their columns' types; every failure is a DbError with a neutral category.
class Engine {
public:
    virtual ~Engine() = default;

    //! The engine a database string names: a `postgresql://` (or `postgres://`) URL names a
    //! server, anything else a database file.
    static std::unique_ptr<Engine> create(const QString &database);
    //! The database string names a PostgreSQL server.
    static bool isServer(const QString &database);
    //! The database string as messages show it, since they reach screens and logs: a server
    //! URL with any password it carries as "***"; a file as given.
    static QString shown(const QString &database);
    //! Makes the schema of the current version in a new database: a new file, or an existing
    //! empty server database. Throws DbError, leaving it as it was.
    static void createDatabase(const QString &database);
    //! The failure of opening `database` whose schema has `version` instead of this program's.
    static DbError schemaVersionRefused(const QString &database, int version);

    //! Opens the database and checks that its schema is ours (of this program's version, or of
    //! its recorded one with EngineOptions::anySchemaVersion); throws DbError, leaving it closed.
    virtual void open(const QString &database, const EngineOptions &options) = 0;
    //! Makes the schema of version 1 in a new database (a new file, or an existing empty server
    //! database) and opens it inside a transaction, for the steps to later versions to follow:
    //! commit() keeps the schema with what was written after it, rollback() leaves the database
    //! as it was (no file; an empty server database) and closes.
    virtual void create(const QString &database, const EngineOptions &options) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual bool readOnly() const = 0;
    virtual void setBusyTimeoutMs(int ms) = 0;

    //! Runs a row-returning statement and fetches every row. With `keyed`, rows of one table's
    //! plain columns also carry that table's key.
    virtual ResultSet select(const QString &text, const QVector<QVariant> &values, bool keyed) = 0;
    //! Runs a statement that returns no rows as its own transaction, or as part of the one
    //! begin() opened; returns rows changed.
    virtual int execute(const QString &text, const QVector<QVariant> &values) = 0;
    //! Opens a transaction that the following statements join, waiting for other sessions' write
    //! locks up to the busy timeout; throws DbError.
    virtual void begin() = 0;
    //! Ends the transaction keeping its writes; throws DbError, and then rollback() ends it.
    virtual void commit() = 0;
    //! Ends the transaction, if one is open, dropping its writes; never throws.
    virtual void rollback() = 0;
    //! Writes one consistent state of the open database to the new file `path` while other
    //! sessions may write; throws DbError, leaving no file.
    virtual void backup(const QString &path) = 0;
    //! Key of the row last inserted through this engine.
    virtual qint64 lastInsertId() const = 0;
    //! What is wrong with the open database's schema, against the schema of its recorded
    //! version; empty when it is ours.
    virtual QStringList schemaProblems() = 0;
    //! The schema version the open database records: 1 for a database that records none (made by
    //! release 1.0.6).
    virtual int schemaVersion() = 0;
    //! Records `version` as the database's schema version, within the open transaction.
    virtual void setSchemaVersion(int version) = 0;
    //! Runs schema statements as they are written (several, separated by semicolons; no bound
    //! values, nothing rewritten) within the open transaction; throws DbError.
    virtual void runScript(const QString &sql) = 0;
    //! The database is on a PostgreSQL server (schema steps write the server's own statements).
    virtual bool onServer() const = 0;

    //! The Qt connection where the engine has one (for tools and benchmarks); else invalid.
    virtual QSqlDatabase database() const { return QSqlDatabase(); }
    //! The SQLite handle while an SQLite file is open; else null.
    virtual sqlite3 *sqliteHandle() const { return nullptr; }
};
