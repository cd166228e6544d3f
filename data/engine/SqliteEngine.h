#pragma once

#include "DatabaseFile.h"
#include "Engine.h"

//! The database file, through SQLite: shared by several copies of the program, one writer at
//! a time, each write its own short BEGIN IMMEDIATE transaction, other copies' locks waited for
//! up to the busy timeout.
class SqliteEngine : public Engine {
public:
    SqliteEngine() = default;
    ~SqliteEngine() override;

    void open(const QString &path, const EngineOptions &options) override;
    void create(const QString &path, const EngineOptions &options) override;
    void close() override;
    bool isOpen() const override { return m_file.handle() != nullptr; }
    bool readOnly() const override { return m_file.readOnly(); }
    void setBusyTimeoutMs(int ms) override;

    ResultSet select(const QString &text, const QVector<QVariant> &values, bool keyed) override;
    int execute(const QString &text, const QVector<QVariant> &values) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    //! The engine's online backup into a new database file, whose integrity and schema are
    //! checked before it is kept.
    void backup(const QString &path) override;
    qint64 lastInsertId() const override { return m_lastInsertId; }
    QStringList schemaProblems() override;
    int schemaVersion() override;
    void setSchemaVersion(int version) override;
    void runScript(const QString &sql) override;
    bool onServer() const override { return false; }

    QSqlDatabase database() const override;
    sqlite3 *sqliteHandle() const override { return m_file.handle(); }

private:
    DatabaseFile m_file;
    qint64 m_lastInsertId = 0;
    //! The file create() made, until its transaction is committed.
    QString m_created;
};
