#pragma once

#include "SelectDescription.h"

#include <QString>

//! Whether a select's rows can be written back to a table, decided from the engine's description
//! of the prepared statement, never from its text. They can when every result row stands for
//! exactly one row of one table: one table read, and no aggregate, grouping, DISTINCT or
//! compound. Columns that are expressions are then simply not editable (Field::readOnly).
//! Knows no engine.
class EditableRows {
public:
    explicit EditableRows(const SelectDescription &description);

    //! The table each result row is one row of; empty when the rows stand for no single row.
    const QString &table() const { return m_table; }

private:
    QString m_table;
};
