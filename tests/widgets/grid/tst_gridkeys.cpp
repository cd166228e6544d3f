#include "Field.h"
#include "GridFixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

namespace {
void turnWheel(TSMDBGrid *grid, int notches) {
    const QPointF pos(40, 40);
    QWheelEvent event(pos, grid->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &event);
}
} // namespace

class TestGridKeys : public QObject {
    Q_OBJECT
private slots:
    void enterMovesRightAndAppendsAtTheEnd() {
        GridFixture f(3);
        f.items->last();
        f.clickCell(2, 0);
        QTest::keyClick(f.grid, Qt::Key_Return);
        QCOMPARE(f.grid->currentIndex().column(), 1);
        QTest::keyClick(f.grid, Qt::Key_Enter);
        QCOMPARE(f.grid->currentIndex().column(), 2);
        // Last column of a dataset that can be modified: a new record, although the grid is read-only.
        QVERIFY(f.grid->readOnly());
        QTest::keyClick(f.grid, Qt::Key_Return);
        QCOMPARE(f.items->state(), DatasetState::Insert);
        QCOMPARE(f.grid->model()->rowCount(), 4);
        QCOMPARE(f.grid->currentIndex(), f.grid->model()->index(3, 0));
        // Down leaves the untouched new record: it is dropped and nothing is stored.
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.items->state(), DatasetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QCOMPARE(f.items->recNo(), 3);
        QCOMPARE(f.tableRows(), 3);
        // The same with Up.
        QTest::keyClick(f.grid, Qt::Key_Return);
        QTest::keyClick(f.grid, Qt::Key_Return);
        QTest::keyClick(f.grid, Qt::Key_Return);
        QCOMPARE(f.items->state(), DatasetState::Insert);
        QTest::keyClick(f.grid, Qt::Key_Up);
        QCOMPARE(f.items->state(), DatasetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 3);
        QCOMPARE(f.tableRows(), 3);
    }

    void enterOnAReadOnlyDatasetOnlyMoves() {
        GridFixture f(2);
        // A grouped result cannot be modified: Enter on the last column appends nothing.
        f.items->close();
        f.items->statement().clear();
        f.items->statement().add(
            QStringLiteral("select men_name, men_cap, sum(men_price) as men_price from menu "
                           "group by men_name, men_cap"));
        f.items->open();
        QVERIFY(!f.items->canModify());
        f.clickCell(0, 2);
        QTest::keyClick(f.grid, Qt::Key_Return);
        QCOMPARE(f.items->state(), DatasetState::Browse);
        QCOMPARE(f.grid->model()->rowCount(), 2);
    }

    void downAtTheEndOfAReadOnlyGridDoesNotAppend() {
        GridFixture f(4);
        f.clickCell(3, 1);
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.items->state(), DatasetState::Browse);
        QCOMPARE(f.items->recNo(), 4);
        QVERIFY(f.items->eof());
        QCOMPARE(f.grid->model()->rowCount(), 4);
        // A writable grid does append there.
        f.grid->setReadOnly(false);
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.items->state(), DatasetState::Insert);
        QCOMPARE(f.grid->model()->rowCount(), 5);
        f.items->cancel();
    }

    void wheelMovesOneRecordPerNotch() {
        GridFixture f(30);
        QCOMPARE(f.items->recNo(), 1);
        turnWheel(f.grid, -1);
        QCOMPARE(f.items->recNo(), 2);
        turnWheel(f.grid, -3);
        QCOMPARE(f.items->recNo(), 5);
        turnWheel(f.grid, 2);
        QCOMPARE(f.items->recNo(), 3);
        QCOMPARE(f.grid->currentIndex().row(), 2);
        // Far down: the view follows the current record.
        turnWheel(f.grid, -25);
        QCOMPARE(f.items->recNo(), 28);
        QVERIFY(f.grid->rowAt(f.grid->viewport()->height() - 20) >= 20);
    }

    void tabWrapsOneRowAndKeepsTicks() {
        GridFixture f(5);
        f.clickBox(0);
        f.clickBox(3);
        f.clickCell(1, 2);
        const int before = f.changes;
        QTest::keyClick(f.grid, Qt::Key_Tab);
        QCOMPARE(f.grid->currentIndex(), f.grid->model()->index(2, 0));
        QCOMPARE(f.items->recNo(), 3);
        QCOMPARE(f.tickedRecNos(), (QList<int>{1, 4}));
        QCOMPARE(f.changes, before);
        QTest::keyClick(f.grid, Qt::Key_Tab);
        QCOMPARE(f.grid->currentIndex(), f.grid->model()->index(2, 1));
        QTest::keyClick(f.grid, Qt::Key_Backtab);
        QTest::keyClick(f.grid, Qt::Key_Backtab);
        QCOMPARE(f.grid->currentIndex(), f.grid->model()->index(1, 2));
        QCOMPARE(f.items->recNo(), 2);
    }

    void shiftArrowsExtendAndShrinkARange() {
        GridFixture f(10);
        f.clickCell(2, 0);
        QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{3, 4}));
        QCOMPARE(f.changes, 2);
        QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{3, 4, 5, 6}));
        QCOMPARE(f.changes, 4);
        QCOMPARE(f.items->recNo(), 6);
        // Back towards the anchor unticks the row left behind.
        QTest::keyClick(f.grid, Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{3, 4, 5}));
        QCOMPARE(f.items->recNo(), 5);
        QCOMPARE(f.changes, 5);
        // Plain moves keep the ticks on a grid that keeps its selection.
        QTest::keyClick(f.grid, Qt::Key_Down);
        QTest::keyClick(f.grid, Qt::Key_PageDown);
        QTest::keyClick(f.grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(f.items->recNo(), 1);
        QCOMPARE(f.tickedRecNos(), (QList<int>{3, 4, 5}));
        QCOMPARE(f.changes, 5);
    }

    void theDatasetDecidesTheCurrentRowWhenItsRowGoes() {
        // The same steps on a dataset alone and under a grid end on the same record, and the
        // grid's current row is the dataset's.
        enum Step { Delete, InsertThenEsc, InsertThenDown };
        auto run = [](Step step, bool withGrid) {
            GridFixture f(6);
            if (!withGrid) f.grid->setDataSource(nullptr);
            f.items->setRecNo(3);
            if (step == Delete) {
                f.items->deleteRecord();
            } else {
                f.items->insert();
                if (withGrid)
                    QTest::keyClick(f.grid, step == InsertThenEsc ? Qt::Key_Escape : Qt::Key_Down);
                else if (step == InsertThenEsc)
                    f.items->cancel();
                else
                    f.items->checkBrowseMode();
            }
            const int viewRow = withGrid ? f.grid->currentIndex().row() : f.items->currentRow();
            return QStringList{QString::number(f.items->recNo()),
                               f.items->fieldByName(QStringLiteral("men_name"))->asString(),
                               QString::number(viewRow), QString::number(f.tableRows())};
        };
        const QStringList deleted{QStringLiteral("3"), QStringLiteral("item 4"), QStringLiteral("2"),
                                  QStringLiteral("5")};
        QCOMPARE(run(Delete, false), deleted);
        QCOMPARE(run(Delete, true), deleted);
        const QStringList cancelled{QStringLiteral("3"), QStringLiteral("item 3"), QStringLiteral("2"),
                                    QStringLiteral("6")};
        for (Step step : {InsertThenEsc, InsertThenDown}) {
            QCOMPARE(run(step, false), cancelled);
            QCOMPARE(run(step, true), cancelled);
        }
    }

    void singleSelectGridMovesWithoutTicking() {
        GridFixture f(5, QStringLiteral("SMDBGrid4"));
        f.clickCell(0, 3);
        QTest::keyClick(f.grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(f.grid, Qt::Key_Down);
        QCOMPARE(f.items->recNo(), 3);
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, 0);
        QTest::keyClick(f.grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.items->recNo(), 5);
    }
};

QTEST_MAIN(TestGridKeys)
#include "tst_gridkeys.moc"
