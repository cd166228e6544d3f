#include "EngineTestCase.h"

#include <QTest>

Q_DECLARE_METATYPE(EngineKind)

void EngineTestCase::initTestCase_data() {
    QTest::addColumn<EngineKind>("engine");
    QTest::newRow("sqlite") << EngineKind::Sqlite;
    QTest::newRow("postgresql") << EngineKind::Postgres;
}

EngineKind EngineTestCase::engine() {
    QFETCH_GLOBAL(EngineKind, engine);
    return engine;
}
