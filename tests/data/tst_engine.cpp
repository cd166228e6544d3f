#include "Connection.h"
#include "DbError.h"
#include "TestDatabase.h"

#include <QTest>

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void smoke();
};

void TestEngine::smoke() {
    TestDatabase db;
    db.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("綠茶"), QStringLiteral("中"),
               30);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM menu")).toLongLong(), 1);
    QCOMPARE(db.scalar(QStringLiteral("SELECT men_name FROM menu WHERE men_merchant = ? COLLATE KTEXT"),
                       {QStringLiteral("ｃｏｃｏ  ")})
                 .toString(),
             QStringLiteral("綠茶"));
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
