#pragma once

#include "TestDatabase.h"

#include <QMetaType>
#include <QObject>

Q_DECLARE_METATYPE(EngineKind)

//! A data test that runs every case on both engines: SQLite and the test program's private
//! PostgreSQL cluster, one global data row each. Cases make their TestDatabase with engine().
class EngineTestCase : public QObject {
    Q_OBJECT
public:
    //! Adds the column `engine` and one row per engine: the global data, or one case's own.
    static void addEngineRows();

protected:
    //! The engine of the current global data row.
    static EngineKind engine();

private slots:
    void initTestCase_data();
};
