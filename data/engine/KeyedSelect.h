#pragma once

#include "PreparedStatement.h"

#include <QString>
#include <memory>

struct sqlite3;

//! A select prepared so that its rows carry their table's key when each of them stands for one
//! row of one table, as the engine describes the statement (EditableRows): the key is then
//! column 0 of the statement.
class KeyedSelect {
public:
    //! Prepares `text` (one statement; throws DbError as PreparedStatement does).
    KeyedSelect(sqlite3 *handle, const QString &text);

    PreparedStatement &statement() { return *m_statement; }
    //! The table whose key is column 0; empty when the rows carry no key.
    const QString &keyTable() const { return m_keyTable; }

private:
    std::unique_ptr<PreparedStatement> m_statement;
    QString m_keyTable;
};
