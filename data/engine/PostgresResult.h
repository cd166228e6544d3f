#pragma once

#include "DbError.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <libpq-fe.h>

//! A result of the PostgreSQL client library, cleared however the scope is left, and the
//! conversion of its failures into DbError with a neutral category beside the SQLSTATE.
class PostgresResult {
public:
    explicit PostgresResult(PGresult *result = nullptr)
        : m_result(result) {}
    ~PostgresResult() { PQclear(m_result); }
    PostgresResult(PostgresResult &&other) noexcept
        : m_result(other.m_result) {
        other.m_result = nullptr;
    }
    PostgresResult &operator=(PostgresResult &&other) noexcept;
    PostgresResult(const PostgresResult &) = delete;
    PostgresResult &operator=(const PostgresResult &) = delete;

    PGresult *get() const { return m_result; }
    //! The statement ran (with or without rows).
    bool ok() const;
    //! A cell as UTF-8 text.
    QString text(int row, int column) const;

    //! The failure in `result` (null: the connection's own message) as DbError.
    static DbError error(const PGresult *result, PGconn *connection, const QString &statement);
    //! Runs `sql` with `values` as text parameters; throws DbError on failure.
    static PostgresResult exec(PGconn *connection, const QString &sql,
                               const QVector<QByteArray> &values = {});

private:
    PGresult *m_result;
};
