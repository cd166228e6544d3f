#pragma once

#include "ResultSet.h"

class PreparedStatement;

//! Steps a prepared statement to its end and copies every row into a ResultSet, so that no
//! read stays open once a dataset has its rows.
class RowFetcher {
public:
    //! Fetches every row of `statement` (bound already). When `keyTable` is given, column 0 is
    //! that table's key: it goes into the rows' keys, not into the columns. Throws DbError.
    static ResultSet fetch(PreparedStatement &statement, const QString &keyTable = QString());
};
