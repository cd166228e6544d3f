#pragma once

#include "ResultSet.h"

#include <libpq-fe.h>

struct PostgresCatalog;

//! Reads the rows of a statement sent on a PostgreSQL connection one at a time (the client
//! library's single-row mode) straight into a ResultSet, converting each column by its type:
//! integers as integers, times as "HH:NN" (as the file holds them), dates as ISO text.
class PostgresFetcher {
public:
    //! Fetches every row of the statement just sent (single-row mode set already) and
    //! drains the connection. When `keyed`, column 0 is the key of the rows' table and goes
    //! into the rows' keys. Throws DbError (after draining) on failure.
    static ResultSet fetch(PGconn *connection, const PostgresCatalog &catalog, bool keyed,
                           const QString &statement);
};
