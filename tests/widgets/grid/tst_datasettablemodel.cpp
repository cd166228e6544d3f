#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "Field.h"
#include "TestDatabase.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

class TestDatasetTableModel : public QObject {
    Q_OBJECT

    struct Setup {
        TestDatabase db;
        Dataset items{QStringLiteral("items")};
        DataSource source;
        DatasetTableModel model;
        explicit Setup(int rows) {
            for (int i = 1; i <= rows; ++i)
                db.addMenu(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("item %1").arg(i),
                           QStringLiteral("中"), i);
            items.setConnection(&db.connection());
            items.statement().add(
                QStringLiteral("select men_id, men_name, men_price from menu order by men_id"));
            items.setFieldDefs({{QStringLiteral("men_id"), QString(), 0, false, true},
                                {QStringLiteral("men_name"), QStringLiteral("飲料|名稱"), 10, true, false},
                                {QStringLiteral("men_price"), QStringLiteral("售價"), 6, true, false}});
            source.setDataset(&items);
            model.bindSource(&source);
        }
    };

private slots:
    void followsTheDatasetThroughItsLife() {
        Setup s(5);
        QAbstractItemModelTester tester(&s.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(s.model.rowCount(), 0);
        QCOMPARE(s.model.columnCount(), 0);

        s.items.open();
        QCOMPARE(s.model.rowCount(), 5);
        // The hidden key gets no column; captions break at "|".
        QCOMPARE(s.model.columnCount(), 2);
        QCOMPARE(s.model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("飲料\n名稱"));
        QCOMPARE(s.model.index(2, 0).data().toString(), QStringLiteral("item 3"));
        QCOMPARE(s.model.index(2, 1).data().toString(), QStringLiteral("3"));
        QVERIFY(s.model.index(2, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);

        // Append and drop an untouched new row: one row in, one row out.
        QSignalSpy inserted(&s.model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&s.model, &QAbstractItemModel::rowsRemoved);
        s.items.append();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(s.model.rowCount(), 6);
        s.items.cancel();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(s.model.rowCount(), 5);

        // A posted edit shows at once, and is in the table.
        s.items.setRecNo(2);
        QSignalSpy changed(&s.model, &QAbstractItemModel::dataChanged);
        s.items.edit();
        s.items.fieldByName(QStringLiteral("men_name"))->setValue(QStringLiteral("renamed"));
        s.items.post();
        QVERIFY(changed.count() >= 1);
        QCOMPARE(s.model.index(1, 0).data().toString(), QStringLiteral("renamed"));
        QCOMPARE(s.db.scalar(QStringLiteral("select men_name from menu where men_price = 2")).toString(),
                 QStringLiteral("renamed"));

        // Deleting removes exactly that row.
        s.items.setRecNo(4);
        s.items.deleteRecord();
        QCOMPARE(removed.count(), 2);
        QCOMPARE(s.model.rowCount(), 4);
        QCOMPARE(s.model.index(3, 0).data().toString(), QStringLiteral("item 5"));

        // Reading cells never moves the dataset.
        s.items.setRecNo(1);
        for (int r = 0; r < s.model.rowCount(); ++r)
            s.model.index(r, 0).data();
        QCOMPARE(s.items.recNo(), 1);

        s.items.close();
        QCOMPARE(s.model.rowCount(), 0);
        QCOMPARE(s.model.columnCount(), 0);
    }

    void aDestroyedSourceLeavesNothingToRead() {
        Setup s(2);
        s.items.open();
        auto *source = new DataSource;
        source->setDataset(&s.items);
        DatasetTableModel model;
        model.bindSource(source);
        QCOMPARE(model.rowCount(), 2);
        delete source;
        QVERIFY(!model.index(0, 0).data().isValid());
    }

    void requeryRereadsTheFieldsOfADatasetWithoutAFieldList() {
        Setup s(3);
        s.items.setFieldDefs({});
        s.items.open();
        QCOMPARE(s.model.columnCount(), 3);
        // Same shape, new fields: the model holds none of the old ones.
        s.items.requery();
        QCOMPARE(s.model.columnCount(), 3);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(s.model.fieldAt(c), s.items.field(c));
        QCOMPARE(s.model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("men_name"));
        QCOMPARE(s.model.index(2, 1).data().toString(), QStringLiteral("item 3"));
    }

    void requeryOfAnotherSizeResets() {
        Setup s(3);
        QAbstractItemModelTester tester(&s.model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        s.items.open();
        s.db.addMenu(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("late"), QStringLiteral("大"),
                     9);
        QSignalSpy reset(&s.model, &QAbstractItemModel::modelReset);
        s.items.requery();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(s.model.rowCount(), 4);
        QCOMPARE(s.model.index(3, 0).data().toString(), QStringLiteral("late"));
    }
};

QTEST_MAIN(TestDatasetTableModel)
#include "tst_datasettablemodel.moc"
