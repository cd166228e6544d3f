#pragma once

#include "SchemaSteps.h"

#include <QStringList>

class Connection;

//! Brings a database's schema to this program's version by running the schema steps after the
//! version it records, all in one transaction: a failure anywhere (a step, the check of the
//! result, the commit) leaves the database exactly as it was.
class SchemaUpgrade {
public:
    //! Within the transaction the caller has open: runs the steps of `steps` after version
    //! `from`, records the version of the last one (Schema::CurrentVersion for the program's own
    //! steps) and checks the schema against it. Returns the names of the steps run; throws
    //! DbError when a step fails or the result is not the schema of that version.
    static QStringList applySteps(Connection &connection, int from = 1,
                                  const QVector<SchemaStep> &steps = SchemaSteps::all());
    //! Upgrades the open database (opened with Connection::setAnySchemaVersion) in one
    //! transaction, waiting for other copies' writes up to the busy timeout. Returns the names of
    //! the steps run: none when it was of the current version already. Throws DbError, leaving
    //! the database as it was; refuses a database newer than `steps` lead to.
    static QStringList run(Connection &connection, const QVector<SchemaStep> &steps = SchemaSteps::all());
};
