#include "EngineTestCase.h"

#include <QTest>

void EngineTestCase::initTestCase_data() {
    addEngineRows();
}

void EngineTestCase::addEngineRows() {
    QTest::addColumn<EngineKind>("engine");
    QTest::newRow("sqlite") << EngineKind::Sqlite;
    QTest::newRow("postgresql") << EngineKind::Postgres;
}

EngineKind EngineTestCase::engine() {
    QFETCH_GLOBAL(EngineKind, engine);
    return engine;
}
