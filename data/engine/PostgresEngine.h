#pragma once

#include "Engine.h"
#include "PostgresSchema.h"

class PostgresParams;

#include <QByteArray>
#include <functional>
#include <libpq-fe.h>

//! The database on a PostgreSQL server (15 or later), reached with the client library: one
//! session per connection, every statement its own transaction unless begin() groups several,
//! `DateStyle = ISO`, other sessions' locks waited for up to the busy timeout. A connection
//! found lost is opened again once and the statement retried where that cannot store anything
//! twice; never within a transaction, which went with the lost session.
class PostgresEngine : public Engine {
public:
    PostgresEngine() = default;
    ~PostgresEngine() override;

    //! `url`: postgresql://[user[:password]@][host][:port][/database][?options]; a socket folder
    //! stands percent-encoded as the host.
    void open(const QString &url, const EngineOptions &options) override;
    void create(const QString &url, const EngineOptions &options) override;
    void close() override;
    bool isOpen() const override { return m_connection != nullptr; }
    //! Read-only by request, or because the session may not write: the server keeps it read-only
    //! (a standby, the role's or database's default) or the role may change none of our tables.
    bool readOnly() const override { return m_options.forceReadOnly || m_sessionReadOnly; }
    void setBusyTimeoutMs(int ms) override;

    ResultSet select(const QString &text, const QVector<QVariant> &values, bool keyed) override;
    int execute(const QString &text, const QVector<QVariant> &values) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    //! PostgreSQL's pg_dump, in its custom format (PostgresDump).
    void backup(const QString &path) override;
    qint64 lastInsertId() const override { return m_lastInsertId; }
    QStringList schemaProblems() override;
    int schemaVersion() override;
    void setSchemaVersion(int version) override;
    void runScript(const QString &sql) override;
    bool onServer() const override { return true; }

private:
    //! A connected session with our settings; throws DbError (connection lost) on failure.
    static PGconn *connect(const QString &url, const EngineOptions &options);
    //! Closes any session and connects anew to `url`, our catalog not read yet.
    void startSession(const QString &url, const EngineOptions &options);
    void reconnect();
    //! Runs `attempt`; on a lost connection opens it again and runs it once more, unless the
    //! statement may have reached the server (`safeToRepeat` false) and could be stored twice.
    template <typename T> T retried(const std::function<T()> &attempt, bool write);
    ResultSet selectOnce(const QString &text, const PostgresParams &params, bool keyed);
    //! Sends a statement; with `rowByRow` its rows come one at a time (single-row mode).
    void send(const QString &text, const PostgresParams &params, bool rowByRow);
    //! When the server's description of the select says each of its rows is one row of one of
    //! our tables, prepares it with that table's key in front as the unnamed statement and returns
    //! the table; else an empty name. Nothing is run.
    QString prepareKeyed(const QString &engineText, const PostgresParams &params);

    PGconn *m_connection = nullptr;
    QString m_url;
    EngineOptions m_options;
    PostgresCatalog m_catalog;
    qint64 m_lastInsertId = 0;
    bool m_sessionReadOnly = false;
    //! The statement being tried never reached the server.
    bool m_unsent = false;
    bool m_inTransaction = false;
};
