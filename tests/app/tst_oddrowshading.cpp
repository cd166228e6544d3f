#include "DataSource.h"
#include "Dataset.h"
#include "OddRowShading.h"
#include "TestDatabase.h"

#include <QSignalSpy>
#include <QTest>

// The shading rule over a real dataset: the record number alone decides, and reading it moves
// and tells nothing.
class TestOddRowShading : public QObject {
    Q_OBJECT
private slots:
    void followsTheRecordNumberOnly();
};

void TestOddRowShading::followsTheRecordNumberOnly() {
    TestDatabase db;
    Dataset items(QStringLiteral("ADOQuery2"));
    items.setConnection(&db.connection());
    items.statement().add(QStringLiteral("select men_name, men_cap, men_price from menu"));
    DataSource source;
    source.setDataset(&items);
    QSignalSpy changes(&source, &DataSource::dataChange);
    const QColor proposed(Qt::white);
    auto shaded = [&] {
        QColor background = proposed;
        OddRowShading::apply(items, background);
        return background;
    };

    // Closed, then open and empty: the position is unknown, nothing is shaded.
    QCOMPARE(shaded(), proposed);
    items.open();
    QCOMPARE(items.recNo(), -1);
    QCOMPARE(shaded(), proposed);
    items.close();

    for (int i = 1; i <= 4; ++i)
        db.addMenu(QStringLiteral("店"), QStringLiteral("茶類"), QStringLiteral("品%1").arg(i),
                   QStringLiteral("中"), 30);
    items.open();
    changes.clear();
    for (int recNo = 1; recNo <= 4; ++recNo) {
        items.setRecNo(recNo);
        const int notified = int(changes.size());
        QCOMPARE(shaded(), recNo % 2 ? OddRowShading::MoneyGreen : proposed);
        QCOMPARE(items.recNo(), recNo);
        QCOMPARE(int(changes.size()), notified);
    }
    QCOMPARE(OddRowShading::MoneyGreen.rgb() & 0xFFFFFF, QRgb(0xC0DCC0));
    QVERIFY(!OddRowShading::shades(0));
    QVERIFY(!OddRowShading::shades(-1));
    QVERIFY(!OddRowShading::shades(-3));

    // A row being inserted has no record number yet.
    items.append();
    QCOMPARE(items.recNo(), -1);
    QCOMPARE(shaded(), proposed);
    items.cancel();
}

QTEST_GUILESS_MAIN(TestOddRowShading)
#include "tst_oddrowshading.moc"
