// The menu page: its controls, adding items through the form (stored values, what the page
// shows afterwards, refusals and a failed re-read), the shaded list newest first, and the
// navigator's buttons by user level. The insert's statement itself is tested with the menu
// statements.
#include "AppFixture.h"

#include "Dataset.h"
#include "FormData.h"
#include "StatusBar.h"
#include "TDBXNavigator.h"
#include "TForm1.h"
#include "TNavButton.h"
#include "TRadioGroup.h"
#include "TSMDBGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString Failed = QStringLiteral("錯誤請找管理人");
const QString Added = QStringLiteral("新增飲料項目成功");
const QString Items =
    QStringLiteral("select men_merchant, men_type, men_name, men_cap, men_price from menu order by men_id");

//! The menu page of a signed-in user of `level`, with two items stored before start.
struct MenuPageFixture : AppFixture {
    explicit MenuPageFixture(int level) {
        addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾美"), level);
        addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("綠茶"), 30);
        addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("紅茶"), 30);
        openForm();
        signIn(QStringLiteral("amy"), QStringLiteral("pw"));
        clickTab(2);
    }
    QLineEdit *edit(int n) const { return find<QLineEdit>(QStringLiteral("Edit%1").arg(n)); }
    TRadioGroup *cupSize() const { return find<TRadioGroup>(QStringLiteral("RG1")); }
    Dataset &menu() { return *form().data().ADODataSet1; }
    QStringList texts() const {
        return {edit(7)->text(), edit(8)->text(), edit(9)->text(), edit(10)->text()};
    }
    void fill(const QStringList &texts) {
        for (int i = 0; i < 4; ++i)
            AppFixture::typeInto(edit(7 + i), texts.at(i));
    }
    int visibleButtons() const {
        auto *nav = find<TDBXNavigator>(QStringLiteral("DBXNavigator1"));
        int n = 0;
        for (int b = 0; b < NavButtonCount; ++b)
            n += nav->button(TNavigateBtnX(b))->isVisible();
        return n;
    }
};
} // namespace

class TestMenuPage : public QObject {
    Q_OBJECT
private slots:
    void controlsAsPlaced();
    void addingItems();
    void failedReReadLeavesTheListClosed();
    void navigatorButtonsByLevel_data();
    void navigatorButtonsByLevel();
};

void TestMenuPage::controlsAsPlaced() {
    // A level with the delete button: the navigator keeps the form's width for eight buttons.
    MenuPageFixture f(1);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet5"));
    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } controls[] = {
        {"Label7", {16, 16, 80, 16}, "商店名稱"},
        {"Edit7", {96, 16, 145, 21}, ""},
        {"Label8", {16, 48, 80, 16}, "飲料分類"},
        {"Edit8", {96, 48, 145, 21}, ""},
        {"Label9", {16, 80, 80, 16}, "飲料名稱"},
        {"Edit9", {96, 80, 145, 21}, ""},
        {"Label10", {16, 112, 80, 16}, "杯           量"},
        {"RG1", {96, 104, 145, 33}, ""},
        {"Label11", {16, 144, 80, 16}, "售           價"},
        {"Edit10", {96, 144, 145, 21}, ""},
        {"ColorButton2", {16, 176, 233, 33}, "新增飲料項目"},
        {"DBXNavigator1", {280, 8, 320, 41}, ""},
        {"SMDBGrid1", {256, 56, 369, 345}, ""},
    };
    QWidget *page = f.form().tabSheet(TForm1::Menu);
    for (const auto &c : controls) {
        auto *w = f.find<QWidget>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->parentWidget(), page);
        QCOMPARE(w->geometry(), c.geometry);
        if (auto *label = qobject_cast<QLabel *>(w)) QCOMPARE(label->text(), QString::fromUtf8(c.text));
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(button->text(), QString::fromUtf8(c.text));
            QCOMPARE(button->font().pixelSize(), 16);
        }
    }
    QCOMPARE(f.cupSize()->items(),
             (QStringList{QStringLiteral("小杯"), QStringLiteral("中杯"), QStringLiteral("大杯")}));
    QCOMPARE(f.cupSize()->itemIndex(), 0);
    // Three columns: the items side by side.
    QCOMPARE(f.cupSize()->button(0)->y(), f.cupSize()->button(2)->y());
    QVERIFY(f.cupSize()->button(0)->x() < f.cupSize()->button(1)->x());

    // Tab order: the shop, category, name and price edits, then the cup size.
    f.edit(7)->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        order << (qobject_cast<QRadioButton *>(w) ? w->parentWidget()->objectName() : w->objectName());
    }
    QCOMPARE(order, (QStringList{QStringLiteral("Edit7"), QStringLiteral("Edit8"), QStringLiteral("Edit9"),
                                 QStringLiteral("Edit10"), QStringLiteral("RG1")}));

    // The list, newest first, shaded on its odd rows.
    auto *grid = f.find<TSMDBGrid>(QStringLiteral("SMDBGrid1"));
    QCOMPARE(f.menu().fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("紅茶"));
    const QImage shot = grid->viewport()->grab().toImage();
    const auto background = [&](int row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 2));
        return shot.pixelColor(cell.right() - 2, cell.top() + 2);
    };
    QCOMPARE(background(0), QColor(0xC0, 0xDC, 0xC0));
    QVERIFY(background(1) != QColor(0xC0, 0xDC, 0xC0));
}

void TestMenuPage::addingItems() {
    MenuPageFixture f(0);
    const QStringList typed{QStringLiteral("Joe's 茶坊"), QStringLiteral("茶類"), QStringLiteral("奶茶"),
                            QStringLiteral("abc")};

    // Refused by the engine: a price that is no number, or none. Nothing is stored, the form and
    // the list stay as they were, and the status bar says nothing.
    f.fill(typed);
    QTest::mouseClick(f.cupSize()->button(1), Qt::LeftButton);
    f.click(QStringLiteral("ColorButton2"));
    AppFixture::typeInto(f.edit(10), QString());
    f.click(QStringLiteral("ColorButton2"));
    QCOMPARE(f.dialogs().texts(), (QStringList{Failed, Failed}));
    QCOMPARE(f.count(QStringLiteral("menu")), 2);
    QCOMPARE(f.cupSize()->itemIndex(), 1);
    QCOMPARE(f.texts(), (QStringList{typed[0], typed[1], typed[2], QString()}));
    QCOMPARE(f.form().statusPanels()->panelText(1), QString());
    QCOMPARE(f.menu().recordCount(), 2);

    // Stored with "大杯": "大", the edits keep their texts, the cup size is back at "小杯", and the
    // list is read again with the new item as its first and current row.
    AppFixture::typeInto(f.edit(10), QStringLiteral("55"));
    QTest::mouseClick(f.cupSize()->button(2), Qt::LeftButton);
    f.dialogs().clear();
    f.click(QStringLiteral("ColorButton2"));
    QVERIFY(f.dialogs().shown().isEmpty());
    QCOMPARE(f.form().statusPanels()->panelText(1), Added);
    QCOMPARE(f.texts(), (QStringList{typed[0], typed[1], typed[2], QStringLiteral("55")}));
    QCOMPARE(f.cupSize()->itemIndex(), 0);
    QVERIFY(f.cupSize()->button(0)->isChecked());
    const QVariantList stored{typed[0], typed[1], typed[2], QStringLiteral("大"), qint64(55)};
    QCOMPARE(f.rows(Items).last(), stored);
    QCOMPARE(f.menu().recordCount(), 3);
    QCOMPARE(f.menu().recNo(), 1);
    QCOMPARE(f.menu().fieldByName(QStringLiteral("men_name"))->asString(), typed[2]);
    QCOMPARE(f.find<TSMDBGrid>(QStringLiteral("SMDBGrid1"))->currentIndex().row(), 0);

    // The same item again is a second row; the cup size chosen now is the small one.
    f.click(QStringLiteral("ColorButton2"));
    const QList<QVariantList> rows = f.rows(Items);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(3), (QVariantList{typed[0], typed[1], typed[2], QStringLiteral("小"), qint64(55)}));
    QCOMPARE(f.menu().recordCount(), 4);
}

void TestMenuPage::failedReReadLeavesTheListClosed() {
    MenuPageFixture f(1);
    // The list's statement is broken while it is closed, so that only the re-read fails.
    Dataset &menu = f.menu();
    menu.close();
    menu.statement().clear();
    menu.statement().add(QStringLiteral("select men_cap, men_gone from menu"));
    f.fill({QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("青茶"), QStringLiteral("35")});
    QTest::mouseClick(f.cupSize()->button(1), Qt::LeftButton);
    f.click(QStringLiteral("ColorButton2"));
    QCOMPARE(f.dialogs().texts(), QStringList{Failed});
    QCOMPARE(f.count(QStringLiteral("menu")), 3);
    QCOMPARE(f.rows(Items).last().at(3), QVariant(QStringLiteral("中")));
    QCOMPARE(f.form().statusPanels()->panelText(1), Added);
    QCOMPARE(f.cupSize()->itemIndex(), 0);
    QVERIFY(!menu.isActive());
    QCOMPARE(f.find<TSMDBGrid>(QStringLiteral("SMDBGrid1"))->model()->rowCount(), 0);
}

void TestMenuPage::navigatorButtonsByLevel_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("buttons");
    QTest::newRow("ordinary user") << 0 << 7;
    QTest::newRow("delete manager") << 1 << 8;
    QTest::newRow("system manager") << 3 << 8;
}

void TestMenuPage::navigatorButtonsByLevel() {
    QFETCH(int, level);
    QFETCH(int, buttons);
    MenuPageFixture f(level);
    QCOMPARE(f.visibleButtons(), buttons);
    auto *nav = f.find<TDBXNavigator>(QStringLiteral("DBXNavigator1"));
    QCOMPARE(nav->button(nbDelete)->isVisible(), level != 0);
    QVERIFY(nav->button(nbRefresh)->isVisible());
    // Choosing the tab again does not read the list again.
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("烏龍"), 30);
    f.clickTab(0);
    f.clickTab(2);
    QCOMPARE(f.menu().recordCount(), 2);
}

QTEST_MAIN(TestMenuPage)
#include "tst_menupage.moc"
