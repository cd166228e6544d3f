// The shop list in the shop box: entries only appended, refilled on entering the catalog page,
// and silent failures that keep what was appended. Its statement is tested with the account
// statements.
#include "AppFixture.h"

#include "CatalogPage.h"
#include "Dataset.h"
#include "FormData.h"
#include "TForm1.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

class TestShopList : public QObject {
    Q_OBJECT
private slots:
    void shopBoxAsPlaced();
    void emptyMenu();
    void entriesAreOnlyAppended();
    void failingStatementKeepsWhatWasAppended();
    void newShopSeenOnNextCatalogEntry();

private:
    static QStringList items(QComboBox *box);
    static void signInAs(AppFixture &f);
    static CatalogPage *catalog(AppFixture &f);
};

QStringList TestShopList::items(QComboBox *box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

CatalogPage *TestShopList::catalog(AppFixture &f) {
    return f.find<CatalogPage>(QStringLiteral("TabSheet3"));
}

void TestShopList::signInAs(AppFixture &f) {
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
    f.openForm();
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QCOMPARE(f.form().userName(), QStringLiteral("艾米"));
}

void TestShopList::shopBoxAsPlaced() {
    AppFixture f;
    f.openForm();
    auto *box = f.find<QComboBox>(QStringLiteral("CB1"));
    QVERIFY(box);
    QCOMPARE(box->parentWidget(), f.form().tabSheet(TForm1::Catalog));
    QCOMPARE(box->geometry(), QRect(96, 8, 113, 21));
    QVERIFY(box->isEditable());
}

void TestShopList::emptyMenu() {
    AppFixture f;
    signInAs(f);
    QComboBox *box = f.find<QComboBox>(QStringLiteral("CB1"));
    QCOMPARE(box->count(), 0);
    f.clickTab(1);
    f.clickTab(0);
    QCOMPARE(box->count(), 0);
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestShopList::entriesAreOnlyAppended() {
    AppFixture f;
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶"), QStringLiteral("紅茶"));
    f.addMenu(QStringLiteral("50嵐"), QStringLiteral("茶"), QStringLiteral("綠茶"));
    signInAs(f);
    QComboBox *box = f.find<QComboBox>(QStringLiteral("CB1"));
    const QStringList once = items(box);
    QCOMPARE(once.size(), 2);

    // Reading the list again without emptying the box appends a second copy and picks nothing.
    QSignalSpy edits(box, &QComboBox::editTextChanged);
    QSignalSpy picks(box, &QComboBox::currentIndexChanged);
    catalog(f)->Get_CB1_Text();
    QCOMPARE(items(box), once + once);
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(edits.count(), 0);
    QCOMPARE(picks.count(), 0);

    // Typed text in the box stays while entries are appended.
    box->setEditText(QStringLiteral("清"));
    catalog(f)->Get_CB1_Text();
    QCOMPARE(box->count(), 6);
    QCOMPARE(box->currentText(), QStringLiteral("清"));
    QVERIFY(!f.form().data().ADOQuery_GET->isActive());
}

void TestShopList::failingStatementKeepsWhatWasAppended() {
    AppFixture f;
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶"), QStringLiteral("紅茶"));
    signInAs(f);
    QComboBox *box = f.find<QComboBox>(QStringLiteral("CB1"));
    QCOMPARE(items(box), QStringList{QStringLiteral("CoCo")});

    f.exec(QStringLiteral("alter table menu rename to menu_gone"));
    catalog(f)->Get_CB1_Text();
    QCOMPARE(items(box), QStringList{QStringLiteral("CoCo")});
    // Entering the catalog page empties the box first; the failure then leaves it empty.
    f.clickTab(1);
    f.clickTab(0);
    QCOMPARE(box->count(), 0);
    QVERIFY(f.dialogs().shown().isEmpty());

    // The next use starts afresh.
    f.exec(QStringLiteral("alter table menu_gone rename to menu"));
    catalog(f)->Get_CB1_Text();
    QCOMPARE(items(box), QStringList{QStringLiteral("CoCo")});
}

void TestShopList::newShopSeenOnNextCatalogEntry() {
    AppFixture f;
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("茶"), QStringLiteral("紅茶"));
    signInAs(f);
    QComboBox *box = f.find<QComboBox>(QStringLiteral("CB1"));
    f.addMenu(QStringLiteral("清心"), QStringLiteral("茶"), QStringLiteral("烏龍"));
    QCOMPARE(box->count(), 1);
    box->setCurrentIndex(0);
    f.clickTab(2);
    QCOMPARE(box->count(), 1);
    f.clickTab(0);
    QCOMPARE(box->count(), 2);
    QVERIFY(items(box).contains(QStringLiteral("清心")));
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(box->currentText().isEmpty());
}

QTEST_MAIN(TestShopList)
#include "tst_shoplist.moc"
