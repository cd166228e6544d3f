#include "SchemaSteps.h"

#include "Connection.h"
#include "DbError.h"
#include "PostgresSchema.h"
#include "Schema.h"

namespace {

const TableInfo &tableOf(const QString &name) {
    const TableInfo *t = Schema::table(name);
    if (!t) throw DbError(QStringLiteral("Table '%1' is not one of this program's tables.").arg(name));
    return *t;
}

// Version 2: the database says which version it is. The file keeps it in its header's user
// version, which the upgrade sets; a server database gets a one-row table for it.
void recordSchemaVersion(Connection &c) {
    if (c.onServer()) c.setSchemaVersion(2);
}

} // namespace

namespace SchemaSteps {

const QVector<SchemaStep> &all() {
    static const QVector<SchemaStep> steps{
        {2, "the database records its schema version", recordSchemaVersion},
    };
    return steps;
}

void createTable(Connection &c, const QString &table) {
    const TableInfo &t = tableOf(table);
    c.runScript(c.onServer() ? PostgresSchema::createTableStatement(t) : Schema::createTableStatement(t));
}

void addColumn(Connection &c, const QString &table, const QString &column) {
    const ColumnInfo *info = Schema::column(table, column);
    if (!info) throw DbError(QStringLiteral("Column '%1' is not one of table '%2'.").arg(column, table));
    c.runScript(c.onServer() ? PostgresSchema::addColumnStatement(*info) : Schema::addColumnStatement(*info));
}

} // namespace SchemaSteps
