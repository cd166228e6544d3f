#include "GridBlobEditor.h"
#include "GridFixture.h"
#include "GridPopupMenu.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

namespace {
QStringList texts(const QList<QAction *> &actions) {
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

// Which items of the menu are visible / enabled, as a string of 1 and 0 by menu position
// (a hidden item counts as disabled).
QString flags(QMenu *menu, bool enabled) {
    QString out;
    for (QAction *a : menu->actions())
        out += (enabled ? a->isEnabled() : a->isVisible()) ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}
} // namespace

class TestGridPopupMenu : public QObject {
    Q_OBJECT
private slots:
    void captionsAndPositions() {
        GridFixture f(1);
        GridPopupMenu *menu = f.grid->popupMenu();
        QCOMPARE(texts(menu->actions()), (QStringList{"新增紀錄",
                                                      "插入紀錄",
                                                      "編輯紀錄",
                                                      "刪除紀錄",
                                                      "-",
                                                      "列印 ...",
                                                      "輸出 ...",
                                                      "過濾 ...",
                                                      "搜尋 ...\tCtrl+F",
                                                      "-",
                                                      "儲存變更",
                                                      "取消變更",
                                                      "更新\tF5",
                                                      "-",
                                                      "選取/取消選取 紀錄",
                                                      "-",
                                                      "儲存欄位 layout",
                                                      "還原欄位 layout",
                                                      "-",
                                                      "設定..."}));
        QCOMPARE(texts(menu->selectionMenu()->actions()),
                 (QStringList{"選取紀錄", "選取全部紀錄", "-", "取消選取紀錄", "取消選取全部紀錄"}));
        QCOMPARE(menu->actions().at(14)->menu(), menu->selectionMenu());
        // The shortcuts are labels only: nothing is bound to the keys.
        for (QAction *a : menu->actions())
            QVERIFY(a->shortcut().isEmpty());
    }

    void readOnlyGridsOfferOnlyRefreshAndSelection() {
        GridFixture items(3, QStringLiteral("SMDBGrid3"));
        GridPopupMenu *menu = items.grid->popupMenu();
        menu->prepare();
        //                            0    5    10   15
        QCOMPARE(flags(menu, false), QStringLiteral("11111000001111100000"));
        QCOMPARE(flags(menu, true), QStringLiteral("00001000000011100000"));
        for (QAction *a : menu->selectionMenu()->actions())
            QVERIFY(a->isVisible() && a->isEnabled());

        GridFixture orders(3, QStringLiteral("SMDBGrid4"));
        orders.grid->popupMenu()->prepare();
        QCOMPARE(flags(orders.grid->popupMenu(), true), QStringLiteral("00001000000011000000"));

        // Closed: refresh is greyed too.
        items.items->close();
        menu->prepare();
        QCOMPARE(flags(menu, true), QStringLiteral("00001000000001000000"));
    }

    void writableGridAndOwnerCommands() {
        GridFixture f(3);
        f.grid->setReadOnly(false);
        int printed = 0;
        QObject::connect(f.grid, &TSMDBGrid::OnPrintData, f.grid, [&] { ++printed; });
        QObject::connect(f.grid, &TSMDBGrid::OnSetupGrid, f.grid, [] {});
        GridPopupMenu *menu = f.grid->popupMenu();
        menu->prepare();
        QCOMPARE(flags(menu, false), QStringLiteral("11111100011111100011"));
        QCOMPARE(flags(menu, true), QStringLiteral("11111100010011100011"));
        menu->entryAction(GridPopupMenu::Print)->trigger();
        QCOMPARE(printed, 1);
        // While editing: save and cancel, nothing that starts another edit.
        menu->entryAction(GridPopupMenu::Edit)->trigger();
        QCOMPARE(f.items->state(), DatasetState::Edit);
        menu->prepare();
        QCOMPARE(flags(menu, true), QStringLiteral("00001000011101100011"));
        menu->entryAction(GridPopupMenu::Cancel)->trigger();
        QCOMPARE(f.items->state(), DatasetState::Browse);

        // Delete through the menu asks the one-row question and deletes the current record.
        ScriptedDialogs dialogs;
        f.items->setRecNo(2);
        menu->prepare();
        menu->entryAction(GridPopupMenu::Delete)->trigger();
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("刪除紀錄?")});
        QCOMPARE(f.tableRows(), 2);
        QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from menu where men_name = 'item 2'")).toInt(),
                 0);
    }

    void selectionCommandsFireOnceEach() {
        GridFixture f(5);
        GridPopupMenu *menu = f.grid->popupMenu();
        menu->prepare();
        menu->entryAction(GridPopupMenu::SelectAll)->trigger();
        QCOMPARE(f.grid->selectedRows().count(), 5);
        QCOMPARE(f.changes, 1);
        menu->entryAction(GridPopupMenu::UnselectAll)->trigger();
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, 2);
        f.items->setRecNo(4);
        menu->entryAction(GridPopupMenu::SelectOne)->trigger();
        menu->entryAction(GridPopupMenu::SelectOne)->trigger();
        QCOMPARE(f.tickedRecNos(), QList<int>{4});
        QCOMPARE(f.changes, 4);
        menu->entryAction(GridPopupMenu::UnselectOne)->trigger();
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.changes, 5);
    }

    void refreshFromTheOpenedMenu() {
        GridFixture f(6);
        f.clickBox(1);
        f.clickCell(4, 1);
        f.db.exec(QStringLiteral("update menu set men_price = 999 where men_name = 'item 5'"));
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu) return;
            shown = true;
            QAction *refresh = menu->actions().at(12);
            QVERIFY(refresh->isEnabled());
            refresh->trigger();
            menu->close();
        });
        f.clickCorner(Qt::RightButton);
        QVERIFY(shown);
        QVERIFY(f.grid->selectedRows().isEmpty());
        QCOMPARE(f.items->recNo(), 5);
        QCOMPARE(f.grid->model()->index(4, 2).data().toString(), QStringLiteral("999"));
    }

    void doubleClickOpensNoEditorForShortFields() {
        GridFixture f(3);
        f.clickCell(1, 0);
        QVERIFY(!GridBlobEditor::canEdit(f.grid));
        QTimer::singleShot(0, [] {
            if (QWidget *w = QApplication::activeModalWidget()) w->close();
        });
        QTest::mouseDClick(f.grid->viewport(), Qt::LeftButton, {},
                           f.grid->visualRect(f.grid->model()->index(1, 0)).center());
        QCOMPARE(f.items->state(), DatasetState::Browse);
        QCOMPARE(f.items->recNo(), 2);
    }
};

QTEST_MAIN(TestGridPopupMenu)
#include "tst_gridpopupmenu.moc"
