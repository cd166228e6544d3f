#pragma once

#include <QString>
#include <QVector>

class Connection;

//! One change of the schema on the way to a later version: a small named function that makes
//! it on either engine (Connection::onServer() tells which), within the transaction the upgrade
//! or the making of a new database has open. A step only adds: tables, nullable columns,
//! triggers, indexes, or a check widened where a table must be rebuilt, so that what copies of
//! the previous release write stays valid.
struct SchemaStep {
    //! The version the database has once this step and those before it have run.
    int version;
    //! What the step does, as the upgrade reports it.
    const char *name;
    void (*apply)(Connection &connection);
};

//! Every step of the schema after version 1, in order, and the tools the steps are written with.
namespace SchemaSteps {

//! The steps, oldest first; the last one's version is Schema::CurrentVersion.
const QVector<SchemaStep> &all();

//! Makes `table` (its columns of the current version) as the engine writes it.
void createTable(Connection &connection, const QString &table);
//! Adds `column` of `table` as a nullable column, as the engine writes it.
void addColumn(Connection &connection, const QString &table, const QString &column);

} // namespace SchemaSteps
