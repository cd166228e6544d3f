#include "DbError.h"
#include "Field.h"
#include "GridFixture.h"
#include "GridPopupMenu.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTimer>

// Closes the pop-up menu as soon as it shows, noting that it did.
static void closeNextPopup(bool *shown) {
    QTimer::singleShot(0, [shown] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            *shown = true;
            menu->close();
        }
    });
}

class TestGridSelection : public QObject {
    Q_OBJECT
private slots:
    void listIsInDatasetOrderWhateverTheTickingOrder() {
        GridFixture f(12);
        for (int recNo : {5, 2, 9})
            f.clickBox(recNo - 1);
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 5, 9}));
        QCOMPARE(f.changes, 3);
        QCOMPARE(f.grid->selectedRows().count(), 3);
        // Ticking an already ticked row unticks it; the order of the rest holds.
        f.clickBox(4);
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 9}));
        QVERIFY(f.grid->isRowTicked(8));
        QVERIFY(!f.grid->isRowTicked(4));
    }

    void manyTicksStaySortedAndFindable() {
        GridFixture f(40);
        QList<int> expected;
        // Every third record, in a scrambled order.
        for (int k = 0; k < 40; ++k) {
            const int recNo = (k * 17) % 40 + 1;
            if (recNo % 3 != 0) continue;
            f.items->setRecNo(recNo);
            f.grid->selectOneRecord();
            expected.append(recNo);
        }
        std::sort(expected.begin(), expected.end());
        QCOMPARE(f.tickedRecNos(), expected);
        for (int row = 0; row < 40; ++row)
            QCOMPARE(f.grid->isRowTicked(row), (row + 1) % 3 == 0);
    }

    void ticksStaySortedWhenARequeryReordersTheRows() {
        GridFixture f(5);
        f.items->close();
        f.items->statement().clear();
        f.items->statement().add(
            QStringLiteral("select men_name, men_cap, men_price from menu order by men_price"));
        f.items->open();
        f.clickBox(0); // item 1
        f.clickBox(3); // item 4
        // The prices are reversed behind the snapshot: item 4 now comes second, item 1 last.
        f.db.exec(QStringLiteral("update menu set men_price = 60 - men_price"));
        f.items->requery();
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 5}));
        QVERIFY(f.grid->isRowTicked(1));
        QVERIFY(f.grid->isRowTicked(4));
        QVERIFY(!f.grid->isRowTicked(0));
        // Its box unticks the row rather than ticking it twice.
        f.clickBox(4);
        QCOMPARE(f.tickedRecNos(), QList<int>{2});
        QCOMPARE(f.grid->selectedRows().count(), 1);
    }

    void singleSelectBoxesKeepAtMostOneTick() {
        GridFixture f(6, QStringLiteral("SMDBGrid4"));
        f.clickBox(1); // A
        QCOMPARE(f.tickedRecNos(), QList<int>{2});
        QCOMPARE(f.items->recNo(), 2);
        QCOMPARE(f.changes, 1);
        f.clickBox(3); // B
        QCOMPARE(f.tickedRecNos(), QList<int>{4});
        QCOMPARE(f.items->recNo(), 4);
        QCOMPARE(f.changes, 2);
        f.clickBox(3); // B again
        QVERIFY(f.tickedRecNos().isEmpty());
        QCOMPARE(f.changes, 3);
        // Plain clicks on data cells neither tick nor fire.
        f.clickCell(2, 1);
        QVERIFY(f.tickedRecNos().isEmpty());
        QCOMPARE(f.changes, 3);
    }

    void multiSelectClicks() {
        GridFixture f(10);
        f.clickBox(1);
        f.clickBox(6);
        QCOMPARE(f.changes, 2);
        // A plain click moves the current record and keeps the ticks.
        f.clickCell(4, 2);
        QCOMPARE(f.items->recNo(), 5);
        QCOMPARE(f.grid->currentIndex().column(), 2);
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 7}));
        QCOMPARE(f.changes, 2);
        // Ctrl+click on a data cell toggles that row.
        f.clickCell(3, 0, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 4, 7}));
        QCOMPARE(f.changes, 3);
        // Ctrl+click on a box toggles on press and on release: unchanged, two events.
        f.clickBox(6, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{2, 4, 7}));
        QCOMPARE(f.changes, 5);
    }

    void shiftClickTicksTheRangeWithoutEvents() {
        GridFixture f(12);
        f.clickCell(2, 0);
        const int before = f.changes;
        f.clickCell(6, 1, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{3, 4, 5, 6, 7}));
        QCOMPARE(f.items->recNo(), 7);
        QCOMPARE(f.changes, before);
        // And backwards from the new current row.
        f.clickCell(0, 1, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(f.tickedRecNos(), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(f.items->recNo(), 1);
    }

    void rightClicks() {
        GridFixture f(8);
        // On a box: ticks like a left click, no menu.
        bool shown = false;
        closeNextPopup(&shown);
        f.clickBox(2, Qt::RightButton);
        QCoreApplication::processEvents();
        QCOMPARE(f.tickedRecNos(), QList<int>{3});
        QVERIFY(!shown);
        // On a data cell: the menu opens, then the clicked row is current.
        shown = false;
        closeNextPopup(&shown);
        f.clickCell(5, 1, Qt::RightButton);
        QVERIFY(shown);
        QCOMPARE(f.items->recNo(), 6);
        QCOMPARE(f.tickedRecNos(), QList<int>{3});
        // The corner opens it with any button.
        shown = false;
        closeNextPopup(&shown);
        f.clickCorner(Qt::LeftButton);
        QVERIFY(shown);
        // Right of the last column and below the last row: the whole grid area has the menu.
        const int beyond = f.grid->horizontalHeader()->length() + 20;
        const int y = f.grid->visualRect(f.grid->model()->index(3, 0)).center().y();
        for (const QPoint &point : {QPoint(beyond, y), QPoint(20, 250)}) {
            shown = false;
            closeNextPopup(&shown);
            QTest::mouseClick(f.grid->viewport(), Qt::RightButton, {}, point);
            QVERIFY(shown);
            QCOMPARE(f.items->recNo(), 6);
        }
    }

    void closedDatasetIgnoresClicks() {
        GridFixture f(5, QStringLiteral("SMDBGrid3"), false);
        bool shown = false;
        closeNextPopup(&shown);
        f.clickCorner(Qt::RightButton);
        QTest::mouseClick(f.grid->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QTest::mouseClick(f.grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCoreApplication::processEvents();
        QVERIFY(!shown);
        QCOMPARE(f.changes, 0);
        QVERIFY(f.grid->selectedRows().isEmpty());
    }

    void clicksBeyondTheCellsChangeNothing() {
        GridFixture f(3);
        bool shown = false;
        closeNextPopup(&shown);
        // Below the last row in the indicator column, and right of the last title.
        QTest::mouseClick(f.grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(6, 200));
        QTest::mouseClick(f.grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(f.grid->horizontalHeader()->length() + 20, 5));
        QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, QPoint(20, 250));
        QCoreApplication::processEvents();
        QVERIFY(!shown);
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, 0);
        QCOMPARE(f.items->recNo(), 1);
    }

    void cellClickFiresOnDataCellsOnly() {
        GridFixture f(5, QStringLiteral("SMDBGrid4"));
        QList<int> clicked;
        QObject::connect(f.grid, &TSMDBGrid::OnCellClick, f.grid,
                         [&](TSMDBGrid *, int column) { clicked.append(column); });
        f.clickCell(1, 2);
        f.clickCell(3, 0);
        f.clickBox(2);
        bool shown = false;
        closeNextPopup(&shown);
        f.clickCell(2, 1, Qt::RightButton);
        QVERIFY(shown);
        QCOMPARE(clicked, (QList<int>{2, 0}));
    }

    void reopeningDropsTicksSilently() {
        GridFixture f(6);
        f.clickBox(1);
        f.clickBox(4);
        const int before = f.changes;
        f.items->close();
        QVERIFY(f.grid->selectedRows().isEmpty());
        f.items->open();
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, before);
        QVERIFY(!f.grid->selectedRows().find(f.items->bookmark()));
    }

    void rowsDeletedElsewhereLeaveNoTicks() {
        GridFixture f(6);
        f.clickBox(1);
        f.clickBox(3);
        f.items->setRecNo(2);
        f.items->deleteRecord(); // as a navigator's delete button does
        QCOMPARE(f.tickedRecNos(), QList<int>{3});
        QCOMPARE(f.grid->selectedRows().count(), 1);
    }

    void refreshKeepsRecordAndDropsTicks() {
        GridFixture f(8);
        f.clickBox(2);
        f.clickBox(5);
        f.clickCell(5, 0);
        // Another copy of the program adds an item meanwhile: the refresh re-reads the rows.
        f.db.addMenu(QStringLiteral("shopA"), QStringLiteral("tea"), QStringLiteral("late"),
                     QStringLiteral("大"), 5);
        const int before = f.changes;
        f.grid->refreshData();
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, before);
        QCOMPARE(f.items->recNo(), 6);
        QCOMPARE(f.items->fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("item 6"));
        QCOMPARE(f.grid->currentIndex().row(), 5);
        QCOMPARE(f.grid->model()->rowCount(), 9);
        // When the current record is gone, the first becomes current.
        f.db.exec(QStringLiteral("delete from menu where men_name = 'item 6'"));
        f.grid->refreshData();
        QCOMPARE(f.items->recNo(), 1);
        QCOMPARE(f.grid->currentIndex().row(), 0);
    }

    void selectAndUnselectOperations() {
        GridFixture f(7);
        f.items->setRecNo(3);
        f.grid->selectAllRecords();
        QCOMPARE(f.changes, 1);
        QCOMPARE(f.grid->selectedRows().count(), 7);
        QCOMPARE(f.items->recNo(), 3);
        f.grid->unselectOneRecord();
        QCOMPARE(f.changes, 2);
        QCOMPARE(f.grid->selectedRows().count(), 6);
        // Fires also when nothing changed.
        f.grid->unselectOneRecord();
        QCOMPARE(f.changes, 3);
        f.grid->unselectAllRecords();
        QCOMPARE(f.changes, 4);
        QVERIFY(f.grid->selectedRows().isEmpty());
        f.grid->selectOneRecord();
        QCOMPARE(f.tickedRecNos(), QList<int>{3});
        QCOMPARE(f.changes, 5);

        // Nothing at all on a grid that is not multi-select.
        GridFixture g(3, QStringLiteral("SMDBGrid4"));
        g.grid->selectAllRecords();
        g.grid->selectOneRecord();
        QCOMPARE(g.changes, 0);
        QVERIFY(g.grid->selectedRows().isEmpty());
    }

    void deletingTickedRowsAsksFirst() {
        GridFixture f(6);
        ScriptedDialogs dialogs;
        f.grid->setReadOnly(false);
        f.clickBox(1);
        f.clickBox(4);
        // Ctrl+Delete on a writable grid: the question for several rows; "no" keeps everything.
        dialogs.queueAnswers({false});
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("確定要刪除選取的紀錄?")});
        QCOMPARE(f.tableRows(), 6);
        dialogs.queueAnswers({true});
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(f.tableRows(), 4);
        QCOMPARE(f.grid->model()->rowCount(), 4);
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(
            f.db.scalar(QStringLiteral("select count(*) from menu where men_name in ('item 2','item 5')"))
                .toInt(),
            0);
        // No ticks: the current record, with the one-row question.
        dialogs.clear();
        f.items->setRecNo(1);
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("刪除紀錄?")});
        QCOMPARE(f.tableRows(), 3);

        // A read-only grid deletes nothing and asks nothing.
        dialogs.clear();
        f.grid->setReadOnly(true);
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(dialogs.texts().isEmpty());
        QCOMPARE(f.tableRows(), 3);

        // A row the dataset's delete check refuses (someone else's line) stops the whole delete
        // before any row goes, also the rows ticked below it; the current row stays.
        f.grid->setReadOnly(false);
        f.items->setBeforeDelete([](const Dataset &d) {
            if (d.fieldByName(QStringLiteral("men_name"))->asString() == QStringLiteral("item 3"))
                throw DbError(QStringLiteral("item 3 is not yours"));
        });
        for (int row = 0; row < 3; ++row)
            f.clickBox(row);
        f.items->setRecNo(2);
        dialogs.queueAnswers({true});
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral("確定要刪除選取的紀錄?"),
                                               QStringLiteral("item 3 is not yours")}));
        QCOMPARE(f.tableRows(), 3);
        QCOMPARE(f.tickedRecNos(), (QList<int>{1, 2, 3}));
        QCOMPARE(f.items->recNo(), 2);

        // A failure of the engine partway says how many rows went before it; the rest stay
        // ticked.
        f.items->setBeforeDelete(nullptr);
        f.db.exec(QStringLiteral(
            "CREATE TEMP TRIGGER keep_item_4 BEFORE DELETE ON menu "
            "WHEN old.men_name = 'item 4' BEGIN SELECT RAISE(ABORT, 'item 4 is locked'); END"));
        dialogs.clear();
        dialogs.queueAnswers({true});
        QTest::keyClick(f.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(dialogs.texts().size(), 2);
        QVERIFY2(dialogs.texts().at(1).contains(QStringLiteral("1 of the 3")) &&
                     dialogs.texts().at(1).contains(QStringLiteral("item 4 is locked")),
                 qPrintable(dialogs.texts().at(1)));
        QCOMPARE(f.tableRows(), 2);
        QCOMPARE(f.tickedRecNos(), (QList<int>{1, 2}));
    }
};

QTEST_MAIN(TestGridSelection)
#include "tst_gridselection.moc"
