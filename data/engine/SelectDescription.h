#pragma once

#include "ResultSet.h"

#include <QStringList>
#include <QVector>

//! What an engine reports about one prepared select before it runs: the facts that tell whether
//! each of its rows stands for one row of one table. Every engine fills the same description.
struct SelectDescription {
    //! The tables the statement reads, each once (from any clause, subqueries included).
    QStringList tablesRead;
    //! Each result column with the table and column it comes from (both empty for an expression).
    QVector<ResultColumn> columns;
    //! Aggregate or window functions are computed.
    bool aggregates = false;
    //! Rows are grouped.
    bool groups = false;
    //! Duplicate rows are dropped.
    bool distinct = false;
    //! More than one select: a compound select (UNION, INTERSECT, EXCEPT) or a subquery.
    bool compound = false;
};
