#include "EditableRows.h"

EditableRows::EditableRows(const SelectDescription &d) {
    if (d.tablesRead.isEmpty() || d.aggregates || d.groups || d.distinct || d.compound) return;
    const QString &table = d.tablesRead.first();
    for (const QString &t : d.tablesRead)
        if (t.compare(table, Qt::CaseInsensitive) != 0) return;
    // Every column is that table's or an expression; one from elsewhere (through a view, say)
    // would not be written back with the row.
    for (const ResultColumn &c : d.columns)
        if (!c.table.isEmpty() && c.table.compare(table, Qt::CaseInsensitive) != 0) return;
    m_table = table;
}
