// The catalog page end to end through its real widgets: choosing a shop by typing, categories
// and items following, ticking items, typing a note and adding them to the order; then what
// `ordern` holds, what the grids show and what the status bar says.
#include "AppFixture.h"

#include "Clock.h"
#include "Dataset.h"
#include "FixedLocale.h"
#include "FormData.h"
#include "OddRowShading.h"
#include "StatusBar.h"
#include "TColorButton.h"
#include "TForm1.h"
#include "TSMDBGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

//! A clock that moves on by `step` seconds at every reading.
class SteppingClock : public Clock {
public:
    SteppingClock(const QDateTime &start, int step)
        : m_next(start)
        , m_step(step) {
        Clock::install(this);
    }
    ~SteppingClock() override { Clock::install(nullptr); }
    QDateTime now() const override {
        const QDateTime reading = m_next;
        m_next = m_next.addSecs(m_step);
        return reading;
    }

private:
    mutable QDateTime m_next;
    int m_step;
};

//! A signed-in user on the catalog page over a menu of two shops.
struct Catalog {
    explicit Catalog(AppFixture &f, int extraTeas = 0)
        : f(f) {
        f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
        for (int i = 1; i <= 5; ++i)
            f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("茶%1").arg(i), 20 + i);
        f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"), 50);
        f.addMenu(QStringLiteral("Joe's \"Tea\""), QStringLiteral("茶類"), QStringLiteral("紅茶"), 30);
        for (int i = 6; i < 6 + extraTeas; ++i)
            f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("茶%1").arg(i), 20 + i);
        f.openForm();
        f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
        shop = f.find<QComboBox>(QStringLiteral("CB1"));
        categories = f.find<TSMDBGrid>(QStringLiteral("SMDBGrid2"));
        items = f.find<TSMDBGrid>(QStringLiteral("SMDBGrid3"));
        note = f.find<QLineEdit>(QStringLiteral("Edit11"));
        add = f.find<TColorButton>(QStringLiteral("ColorButton1"));
        if (f.currentPage() != QLatin1String("TabSheet3")) qFatal("the catalog page is not current");
    }

    void typeShop(const QString &text) { AppFixture::typeInto(shop->lineEdit(), text); }
    //! Clicks the check box of item row `row` (0-based).
    void tick(int row) {
        QHeaderView *h = items->verticalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(6, h->sectionViewportPosition(row) + 8));
    }
    void clickCategory(int row) {
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {},
                          categories->visualRect(categories->model()->index(row, 0)).center());
    }
    static QStringList column(Dataset *dataset, int field) {
        QStringList out;
        if (!dataset->isActive()) return out;
        for (int row = 0; row < dataset->recordCount(); ++row)
            out << dataset->field(field)->displayTextAt(row);
        return out;
    }
    QStringList categoryList() const { return column(f.form().data().ADOQuery1, 0); }
    QStringList itemList() const { return column(f.form().data().ADOQuery2, 0); }
    QString status() const { return f.form().statusPanels()->panelText(1); }
    //! Name, cup size, price, shop, note, user, date, time of every order line, in key order.
    QList<QVariantList> lines() {
        return f.rows(QStringLiteral("select ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, "
                                     "ord_date, ord_time from ordern order by ord_id"));
    }

    AppFixture &f;
    QComboBox *shop;
    TSMDBGrid *categories;
    TSMDBGrid *items;
    QLineEdit *note;
    TColorButton *add;
};

} // namespace

class TestCatalog : public QObject {
    Q_OBJECT
private slots:
    void pageAsPlaced();
    void typingAShopListsItsCategoriesAndItems();
    void mouseOnACategoryEmptiesTheNoteKeysDoNot();
    void addingStoresTickedItemsInListOrder();
    void noteStoredExactlyOrRefusedLineByLine();
    void reentryKeepsTheListAndStoresItsShop();
    void dateAndTimeFromTheLocaleAndOneReadingPerLine();
    void oddRowsShadedAfterScrolling();
};

void TestCatalog::pageAsPlaced() {
    AppFixture f;
    Catalog c(f);
    QWidget *page = f.form().tabSheet(TForm1::Catalog);
    const auto at = [&](const char *name) {
        QWidget *w = page->findChild<QWidget *>(QString::fromLatin1(name));
        return w ? w->geometry() : QRect();
    };
    QCOMPARE(at("Label12"), QRect(8, 8, 81, 25));
    QCOMPARE(at("CB1"), QRect(96, 8, 113, 21));
    QCOMPARE(at("SMDBGrid2"), QRect(0, 40, 209, 353));
    QCOMPARE(at("SMDBGrid3"), QRect(216, 0, 401, 305));
    QCOMPARE(at("Label14"), QRect(216, 312, 393, 13));
    QCOMPARE(at("Edit11"), QRect(216, 328, 401, 21));
    QCOMPARE(at("ColorButton1"), QRect(232, 360, 377, 33));
    QCOMPARE(page->findChild<QLabel *>(QStringLiteral("Label12"))->text(), QStringLiteral("選擇商店"));
    QCOMPARE(page->findChild<QLabel *>(QStringLiteral("Label14"))->text(),
             QStringLiteral("備註：例如半糖、去冰、1/4糖，請在此輸入相關注意事項"));
    QCOMPARE(c.add->text(), QStringLiteral("新增到訂單"));
    QCOMPARE(c.add->color(), QColor(0, 255, 255));
    QCOMPARE(c.add->fontColor(), QColor(0, 0, 255));
    QCOMPARE(c.add->font().pixelSize(), 16);
    QCOMPARE(c.add->accessibleName(), QStringLiteral("新增到訂單"));
    QVERIFY(c.note->text().isEmpty());

    // The grids: both read-only, the items ticked by check boxes in a 23-pixel indicator.
    const TGridOptions common = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines |
                                dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit;
    const TExOptions exCommon =
        eoENTERlikeTAB | eoKeepSelection | eoStandardPopup | eoBLOBEditor | eoTitleWordWrap;
    QCOMPARE(c.categories->options(), common);
    QCOMPARE(c.categories->exOptions(), exCommon);
    QCOMPARE(c.categories->widthOfIndicator(), 11);
    QCOMPARE(c.items->options(), common | dgMultiSelect);
    QCOMPARE(c.items->exOptions(), exCommon | eoCheckBoxSelect);
    QCOMPARE(c.items->widthOfIndicator(), 23);
    for (TSMDBGrid *grid : {c.categories, c.items}) {
        QVERIFY(grid->readOnly());
        QCOMPARE(grid->scrollBars(), TScrollStyle::ssHorizontal);
        QCOMPARE(grid->gridStyle().OddColor, grid->palette().color(QPalette::Base));
        QCOMPARE(grid->gridStyle().EvenColor, grid->palette().color(QPalette::Base));
    }
    QCOMPARE(c.categories->dataSource(), f.form().data().DataSource2);
    QCOMPARE(c.items->dataSource(), f.form().data().DataSource3);
    // Both lists stay empty until a shop is chosen.
    QVERIFY(!f.form().data().ADOQuery1->isActive());
    QVERIFY(!f.form().data().ADOQuery2->isActive());

    // Tab order: shop box, categories, items, note, add button.
    c.shop->setFocus();
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())
            w = w->parentWidget();
        order << (w ? w->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order,
             (QStringList{QStringLiteral("CB1"), QStringLiteral("SMDBGrid2"), QStringLiteral("SMDBGrid3"),
                          QStringLiteral("Edit11"), QStringLiteral("ColorButton1")}));
}

void TestCatalog::typingAShopListsItsCategoriesAndItems() {
    AppFixture f;
    Catalog c(f);
    QCOMPARE(c.shop->count(), 2);
    QCOMPARE(c.shop->currentText(), QString());

    // Each keystroke lists again; the categories come as soon as the text is the shop's.
    c.shop->lineEdit()->setFocus();
    const QString typed = QStringLiteral("ｃＯｃｏ  ");
    QList<int> counts;
    for (const QChar ch : typed) {
        QInputMethodEvent commit;
        commit.setCommitString(QString(ch));
        QCoreApplication::sendEvent(c.shop->lineEdit(), &commit);
        counts << c.categoryList().size();
    }
    QCOMPARE(counts, (QList<int>{0, 0, 0, 2, 2, 2}));
    QCOMPARE(c.categoryList(), (QStringList{QStringLiteral("奶茶"), QStringLiteral("茶類")}));
    // The first category is current and its items are listed: name, cup size, price.
    QCOMPARE(c.itemList(), QStringList{QStringLiteral("珍奶")});
    Dataset *items = f.form().data().ADOQuery2;
    QCOMPARE(items->field(1)->asString(), QStringLiteral("中"));
    QCOMPARE(items->field(2)->asString(), QStringLiteral("50"));

    // A shop name with quotes is compared as typed.
    c.typeShop(QStringLiteral("joe's \"tea\""));
    QCOMPARE(c.categoryList(), QStringList{QStringLiteral("茶類")});
    QCOMPARE(c.itemList(), QStringList{QStringLiteral("紅茶")});

    // Picking from the list is a change of the shop box's text too. Its items are 13 high.
    c.shop->showPopup();
    QAbstractItemView *list = c.shop->view();
    QTRY_VERIFY(list->isVisible());
    QCOMPARE(list->visualRect(list->model()->index(1, 0)).height(), 13);
    const int coco = c.shop->findText(QStringLiteral("CoCo"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(coco, 0)).center());
    QCOMPARE(c.shop->currentText(), QStringLiteral("CoCo"));
    QCOMPARE(c.categoryList().size(), 2);

    // An unknown shop (or statement-like text) gives empty grids and no message.
    for (const QString &unknown : {QStringLiteral("Nope"), QStringLiteral("\" or \"\"=\"")}) {
        c.typeShop(unknown);
        QVERIFY(f.form().data().ADOQuery1->isActive());
        QCOMPARE(c.categoryList(), QStringList());
        QVERIFY(items->isActive());
        QCOMPARE(c.itemList(), QStringList());
        QCOMPARE(c.categories->model()->rowCount(), 0);
        QCOMPARE(c.items->model()->rowCount(), 0);
    }
    QVERIFY(f.dialogs().shown().isEmpty());

    // A failing list is silent too: the categories close, the items keep what they showed.
    c.typeShop(QStringLiteral("CoCo"));
    f.exec(QStringLiteral("alter table menu rename to menu_gone"));
    c.typeShop(QStringLiteral("x"));
    QVERIFY(!f.form().data().ADOQuery1->isActive());
    QCOMPARE(c.itemList(), QStringList{QStringLiteral("珍奶")});
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestCatalog::mouseOnACategoryEmptiesTheNoteKeysDoNot() {
    AppFixture f;
    Catalog c(f);
    c.typeShop(QStringLiteral("CoCo"));
    AppFixture::typeInto(c.note, QStringLiteral("去冰"));

    // Arrow keys move to the next category: its items, and the note stays.
    c.categories->setFocus();
    QTest::keyClick(c.categories, Qt::Key_Down);
    QCOMPARE(f.form().data().ADOQuery1->recNo(), 2);
    QCOMPARE(c.itemList().size(), 5);
    QCOMPARE(c.note->text(), QStringLiteral("去冰"));
    QTest::keyClick(c.categories, Qt::Key_Up);
    QCOMPARE(c.itemList(), QStringList{QStringLiteral("珍奶")});
    QCOMPARE(c.note->text(), QStringLiteral("去冰"));

    // A mouse click empties the note, also on the category already current.
    c.clickCategory(0);
    QCOMPARE(c.note->text(), QString());
    AppFixture::typeInto(c.note, QStringLiteral("少冰"));
    c.clickCategory(1);
    QCOMPARE(c.note->text(), QString());
    QCOMPARE(c.itemList().size(), 5);
}

void TestCatalog::addingStoresTickedItemsInListOrder() {
    AppFixture f;
    Catalog c(f);
    Dataset *items = f.form().data().ADOQuery2;
    // Before any shop is chosen the button finds no list to refresh: the item grid stays empty
    // (it does not list every shop's items with no shop to store them under).
    QTest::mouseClick(c.add, Qt::LeftButton);
    QVERIFY(!items->isActive());
    QCOMPARE(c.items->model()->rowCount(), 0);
    QCOMPARE(f.count(QStringLiteral("ordern")), 0);

    c.typeShop(QStringLiteral("CoCo"));
    c.clickCategory(1);
    QCOMPARE(c.itemList(), (QStringList{QStringLiteral("茶1"), QStringLiteral("茶2"), QStringLiteral("茶3"),
                                        QStringLiteral("茶4"), QStringLiteral("茶5")}));

    // No tick: nothing stored, nothing shown, and the list is still reopened on its row.
    c.categories->setFocus();
    items->setRecNo(4);
    const QString before = items->statement().text();
    QTest::mouseClick(c.add, Qt::LeftButton);
    QCOMPARE(f.count(QStringLiteral("ordern")), 0);
    QCOMPARE(c.status(), QString());
    QVERIFY(f.dialogs().shown().isEmpty());
    QCOMPARE(items->recNo(), 4);
    QCOMPARE(items->statement().text(), before);

    // Rows 5, 2, 3 ticked in that order are stored as 2, 3, 5.
    AppFixture::typeInto(c.note, QStringLiteral("半糖"));
    for (int row : {4, 1, 2})
        c.tick(row);
    QCOMPARE(c.items->selectedRows().count(), 3);
    QTest::mouseClick(c.add, Qt::LeftButton);
    QList<QVariantList> lines = c.lines();
    QCOMPARE(lines.size(), 3);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(lines.at(0).mid(0, 7),
             (QVariantList{QStringLiteral("茶2"), QStringLiteral("中"), qint64(22), QStringLiteral("CoCo"),
                           QStringLiteral("半糖"), QStringLiteral("艾米"), today}));
    QCOMPARE(lines.at(1).at(0), QVariant(QStringLiteral("茶3")));
    QCOMPARE(lines.at(2).at(0), QVariant(QStringLiteral("茶5")));
    QCOMPARE(c.status(), QStringLiteral("訂單輸入完成"));
    QVERIFY(f.dialogs().shown().isEmpty());
    // The ticks are gone; the list, its current row (the last stored), the shop and the note stay.
    QCOMPARE(c.items->selectedRows().count(), 0);
    QCOMPARE(items->recNo(), 5);
    QCOMPARE(c.itemList().size(), 5);
    QCOMPARE(c.shop->currentText(), QStringLiteral("CoCo"));
    QCOMPARE(c.note->text(), QStringLiteral("半糖"));

    // The same item twice: two clicks.
    for (int click = 0; click < 2; ++click) {
        c.tick(0);
        QTest::mouseClick(c.add, Qt::LeftButton);
    }
    lines = c.lines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(3).at(0), QVariant(QStringLiteral("茶1")));
    QCOMPARE(lines.at(4).at(0), QVariant(QStringLiteral("茶1")));
}

void TestCatalog::noteStoredExactlyOrRefusedLineByLine() {
    AppFixture f;
    Catalog c(f);
    c.typeShop(QStringLiteral("Joe's \"Tea\""));
    const QString quoted = QStringLiteral("it's \"half\"'); --");
    AppFixture::typeInto(c.note, quoted);
    c.tick(0);
    QTest::mouseClick(c.add, Qt::LeftButton);
    QCOMPARE(c.lines().size(), 1);
    QCOMPARE(c.lines().at(0).at(3), QVariant(QStringLiteral("Joe's \"Tea\"")));
    QCOMPARE(c.lines().at(0).at(4), QVariant(quoted));

    // A note of 21 characters: one message per ticked item, nothing stored, ticks cleared all
    // the same, and the status text left as it was.
    f.form().statusPanels()->setPanelText(1, QStringLiteral("before"));
    c.typeShop(QStringLiteral("CoCo"));
    c.clickCategory(1);
    AppFixture::typeInto(c.note, QString(21, QLatin1Char('x')));
    for (int row : {0, 2, 3})
        c.tick(row);
    QTest::mouseClick(c.add, Qt::LeftButton);
    QCOMPARE(f.dialogs().texts(), QStringList(3, QStringLiteral("錯誤請找管理人")));
    QCOMPARE(c.lines().size(), 1);
    QCOMPARE(c.items->selectedRows().count(), 0);
    QCOMPARE(c.status(), QStringLiteral("before"));

    // Twenty characters fit.
    AppFixture::typeInto(c.note, QString(20, QLatin1Char('x')));
    c.tick(1);
    QTest::mouseClick(c.add, Qt::LeftButton);
    QCOMPARE(c.lines().size(), 2);
    QCOMPARE(c.status(), QStringLiteral("訂單輸入完成"));
}

void TestCatalog::reentryKeepsTheListAndStoresItsShop() {
    AppFixture f;
    Catalog c(f);
    c.typeShop(QStringLiteral("coco"));
    c.clickCategory(1);
    AppFixture::typeInto(c.note, QStringLiteral("少冰"));
    c.tick(1);
    c.tick(3);

    f.clickTab(1);
    f.clickTab(0);
    // The shop box is empty and its list read again; grids, ticks and note stay.
    QCOMPARE(c.shop->currentText(), QString());
    QCOMPARE(c.shop->count(), 2);
    QCOMPARE(c.categoryList().size(), 2);
    QCOMPARE(c.itemList().size(), 5);
    QCOMPARE(c.items->selectedRows().count(), 2);
    QCOMPARE(c.note->text(), QStringLiteral("少冰"));

    // The lines go to the shop whose items are listed, as it was typed for the list.
    QTest::mouseClick(c.add, Qt::LeftButton);
    const QList<QVariantList> lines = c.lines();
    QCOMPARE(lines.size(), 2);
    for (const QVariantList &line : lines) {
        QCOMPARE(line.at(3), QVariant(QStringLiteral("coco")));
        QCOMPARE(line.at(4), QVariant(QStringLiteral("少冰")));
    }
    QCOMPARE(lines.at(0).at(0), QVariant(QStringLiteral("茶2")));
    QCOMPARE(lines.at(1).at(0), QVariant(QStringLiteral("茶4")));
}

void TestCatalog::dateAndTimeFromTheLocaleAndOneReadingPerLine() {
    FixedLocale locale({QStringLiteral("dd-MM-yyyy"), QLatin1Char('-'), QLatin1Char('.')});
    SteppingClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 40)), 30);
    AppFixture f;
    Catalog c(f);
    c.typeShop(QStringLiteral("CoCo"));
    c.clickCategory(1);
    c.tick(0);
    c.tick(1);
    QTest::mouseClick(c.add, Qt::LeftButton);
    const QList<QVariantList> lines = c.lines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).mid(6), (QVariantList{QStringLiteral("2026-12-31"), QStringLiteral("23:59")}));
    QCOMPARE(lines.at(1).mid(6), (QVariantList{QStringLiteral("2027-01-01"), QStringLiteral("00:00")}));
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestCatalog::oddRowsShadedAfterScrolling() {
    AppFixture f;
    Catalog c(f, 40);
    c.typeShop(QStringLiteral("CoCo"));
    c.clickCategory(1);
    QCOMPARE(c.itemList().size(), 45);
    c.items->verticalScrollBar()->setValue(7);
    const int top = c.items->topRow();
    QVERIFY(top > 0);
    const QImage image = c.items->grab().toImage();
    const QPoint origin = c.items->viewport()->mapTo(c.items, QPoint(0, 0));
    const QColor base = c.items->palette().color(QPalette::Base);
    int shaded = 0;
    for (int row = top; row < top + 8; ++row) {
        // Clear of the text, in the cup size column; the current row (the first) is skipped.
        const QRect cell = c.items->visualRect(c.items->model()->index(row, 1)).translated(origin);
        const QColor pixel = image.pixelColor(cell.right() - 4, cell.center().y());
        const bool odd = (row + 1) % 2 == 1;
        QCOMPARE(pixel, odd ? OddRowShading::MoneyGreen : base);
        shaded += odd;
    }
    QCOMPARE(shaded, 4);
    // Painting moved nothing.
    QCOMPARE(f.form().data().ADOQuery2->recNo(), 1);
}

QTEST_MAIN(TestCatalog)
#include "tst_catalog.moc"
