#pragma once

#include "SelectDescription.h"

#include <QString>
#include <memory>

class PreparedStatement;
struct sqlite3;

//! Describes a select from what SQLite itself reports on it, without running it: the tables it
//! reads (the authorizer while it is prepared), each column's origin (column metadata), and from
//! its compiled program whether it aggregates, groups or drops duplicates.
class SqliteSelectDescriber {
public:
    //! Prepares `text` (throws DbError as PreparedStatement does) and fills the tables read, the
    //! columns and whether it is compound; the other facts stay false.
    static std::unique_ptr<PreparedStatement> prepare(sqlite3 *handle, const QString &text,
                                                      SelectDescription *description);
    //! Fills aggregates, groups and distinct from the compiled program of `text` (a statement
    //! that prepare() accepted). One more compile; nothing is run.
    static void describeProgram(sqlite3 *handle, const QString &text, SelectDescription *description);
};
