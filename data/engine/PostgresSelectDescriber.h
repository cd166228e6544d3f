#pragma once

#include "ResultSet.h"
#include "SelectDescription.h"

#include <QByteArray>
#include <libpq-fe.h>

class PostgresParams;
struct PostgresCatalog;

//! What a PostgreSQL server says about a select before running it, as a SelectDescription. The
//! plan (EXPLAIN, nothing executed) gives the tables read and whether rows are aggregated,
//! grouped, made distinct or drawn from more than one source; the prepared statement's
//! description gives each column's origin table and column.
//!
//! Both return false when the server cannot take the text as asked (SQLSTATE class 42: not a
//! select, or a column that does not resolve); any other failure would fail the statement itself
//! and is thrown as DbError.
class PostgresSelectDescriber {
public:
    //! Fills the tables read and the flags from the plan of `sql` with `params`.
    static bool describePlan(PGconn *connection, const QByteArray &sql, const PostgresParams &params,
                             SelectDescription *description);
    //! Prepares `sql` as the connection's unnamed statement and fills `columns` with the origins
    //! of its result columns.
    static bool prepare(PGconn *connection, const QByteArray &sql, const PostgresParams &params,
                        const PostgresCatalog &catalog, QVector<ResultColumn> *columns);
    //! Result column `field` of `result`: its name, and the table and column it comes from when
    //! it is one of our tables' columns.
    static ResultColumn column(const PGresult *result, int field, const PostgresCatalog &catalog);
};
