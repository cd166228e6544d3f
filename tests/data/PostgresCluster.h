#pragma once

#include <QString>
#include <QTemporaryDir>

//! A private PostgreSQL server for one test program: a cluster made in a temporary folder at
//! first use (initdb, Unix socket only, no network, fsync off) and stopped when the program
//! ends. As root, the server runs as the unprivileged user `nobody`, since PostgreSQL refuses
//! to run as root. A missing or failing server throws std::runtime_error: it is a test
//! failure, never a reason to skip.
class PostgresCluster {
public:
    //! The cluster of this program, started on the first call.
    static PostgresCluster &instance();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    //! The database of this test program, made empty on the first call.
    QString databaseUrl();
    //! Drops everything in the test program's database, so a schema can be made anew.
    void emptyDatabase();
    //! A connection URL for database `name` of this cluster (socket folder as the host).
    QString url(const QString &name) const;
    //! Runs SQL through psql on database `name`; throws std::runtime_error with its output.
    void psql(const QString &name, const QString &sql) const;
    //! Loads the SQL file `path` (a plain pg_dump, say) into the test program's database through
    //! psql; throws std::runtime_error with its output.
    void load(const QString &path);

private:
    PostgresCluster();
    void start();
    void stop();
    QString run(const QString &program, const QStringList &args, bool asServerUser) const;

    QTemporaryDir m_dir;
    QString m_binDir;
    QString m_database;
    bool m_running = false;
};
