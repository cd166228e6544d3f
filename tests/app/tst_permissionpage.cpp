// The permission page: its controls, and editing the accounts through the bound edits, the
// radio group, the grid and the navigator, as the table then holds them.
#include "AppFixture.h"

#include "AccountNameRule.h"
#include "Dataset.h"
#include "FormData.h"
#include "PermissionPage.h"
#include "TDBEdit.h"
#include "TDBRadioGroup.h"
#include "TDBXNavigator.h"
#include "TForm1.h"
#include "TNavButton.h"
#include "TSMDBGrid.h"

#include <QAbstractItemModel>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

//! A system manager signed in, on the permission page, with two more accounts.
struct PermissionFixture : AppFixture {
    PermissionFixture() {
        addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3,
                    QStringLiteral("總務"));
        addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾美"), 0,
                    QStringLiteral("業務"));
        addCustomer(QStringLiteral("bob"), QStringLiteral("pw"), QStringLiteral("鮑伯"), 2,
                    QStringLiteral("資訊"));
        openForm();
        signIn(QStringLiteral("boss"), QStringLiteral("pw"));
        clickTab(3);
    }
    TDBEdit *edit(int n) const { return find<TDBEdit>(QStringLiteral("DBEdit%1").arg(n)); }
    TDBRadioGroup *level() const { return find<TDBRadioGroup>(QStringLiteral("DBRadioGroup1")); }
    TSMDBGrid *grid() const { return find<TSMDBGrid>(QStringLiteral("SMDBGrid5")); }
    Dataset &accounts() { return *form().data().ADODataSet3; }
    void clickRow(int row) {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void press(TNavigateBtnX button) {
        QTest::mouseClick(find<TDBXNavigator>(QStringLiteral("DBXNavigator3"))->button(button),
                          Qt::LeftButton);
    }
    //! What the bound controls show: the five edits and the chosen level.
    QStringList shown() const {
        QStringList out;
        for (int i = 1; i <= 5; ++i)
            out << edit(i)->text();
        return out << QString::number(level()->itemIndex());
    }
    QVariant stored(const char *column, const QString &number) {
        return rows(QStringLiteral("select %1 from customer where cus_number = ?").arg(QLatin1String(column)),
                    {number})
            .value(0)
            .value(0);
    }
};

} // namespace

class TestPermissionPage : public QObject {
    Q_OBJECT
private slots:
    void controlsAsPlaced();
    void editingAccounts();
    void refusedAndDeleted();
    void neverSignInAndAnotherCopysChanges();
};

void TestPermissionPage::controlsAsPlaced() {
    PermissionFixture f;
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet6"));
    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } controls[] = {
        {"Label15", {16, 16, 50, 21}, "編號"},  {"Label16", {16, 56, 50, 21}, "帳號"},
        {"Label17", {16, 96, 50, 21}, "姓名"},  {"Label18", {16, 136, 50, 21}, "密碼"},
        {"Label19", {16, 176, 50, 21}, "部門"}, {"Label20", {16, 216, 50, 21}, "權限"},
        {"DBEdit1", {56, 16, 130, 21}, ""},     {"DBEdit2", {56, 56, 130, 21}, ""},
        {"DBEdit3", {56, 96, 130, 21}, ""},     {"DBEdit4", {56, 136, 130, 21}, ""},
        {"DBEdit5", {56, 176, 130, 21}, ""},    {"DBRadioGroup1", {56, 204, 129, 85}, ""},
        {"SMDBGrid5", {248, 48, 377, 241}, ""}, {"DBXNavigator3", {248, 0, 344, 49}, ""},
        {"GroupBox2", {0, 288, 625, 113}, ""},
    };
    QWidget *page = f.form().tabSheet(TForm1::Permission);
    for (const auto &c : controls) {
        auto *w = f.find<QWidget>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->parentWidget(), page);
        QCOMPARE(w->geometry(), c.geometry);
        if (auto *label = qobject_cast<QLabel *>(w)) QCOMPARE(label->text(), QString::fromUtf8(c.text));
    }

    // The first account, its password as stars, its number shown only.
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("1"), QStringLiteral("boss"), QStringLiteral("老闆"),
                                     QStringLiteral("pw"), QStringLiteral("總務"), QStringLiteral("2")}));
    QCOMPARE(f.edit(4)->displayText(), QStringLiteral("**"));
    QVERIFY(!f.edit(1)->isEnabled());
    QCOMPARE(f.level()->items(), (QStringList{QStringLiteral("一般使用者"), QStringLiteral("刪除管理者"),
                                              QStringLiteral("系統管理者")}));
    // The grid never shows the password.
    QAbstractItemModel *model = f.grid()->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{QStringLiteral("編號"), QStringLiteral("帳號"), QStringLiteral("姓名"),
                                  QStringLiteral("部門"), QStringLiteral("權限")}));
    // The navigator's eight buttons, whatever the level.
    auto *nav = f.find<TDBXNavigator>(QStringLiteral("DBXNavigator3"));
    int visible = 0;
    for (int b = 0; b < NavButtonCount; ++b)
        visible += nav->button(TNavigateBtnX(b))->isVisible();
    QCOMPARE(visible, 8);
    QVERIFY(!nav->button(nbInsert)->isVisible());

    // The notice: read-only, saying how changes are stored and what a level change does.
    auto *memo = f.find<QPlainTextEdit>(QStringLiteral("Memo1"));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->parentWidget(), f.find<QGroupBox>(QStringLiteral("GroupBox2")));
    QCOMPARE(memo->toPlainText(), PermissionPage::noticeText());
    for (const char *words : {"寫入", "下次登入", "系統管理者"})
        QVERIFY(memo->toPlainText().contains(QString::fromUtf8(words)));

    // Tab order: grid (the key moves between its columns), navigator (no tab stop), the edits
    // that can take the focus, the level, the notice.
    f.edit(2)->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        order << (qobject_cast<QRadioButton *>(w) ? w->parentWidget()->objectName() : w->objectName());
    }
    QCOMPARE(order, (QStringList{QStringLiteral("DBEdit2"), QStringLiteral("DBEdit3"),
                                 QStringLiteral("DBEdit4"), QStringLiteral("DBEdit5"),
                                 QStringLiteral("DBRadioGroup1"), QStringLiteral("Memo1")}));
    f.edit(2)->setFocus();
    QTest::keyClick(f.edit(2), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), f.grid());
}

void TestPermissionPage::editingAccounts() {
    PermissionFixture f;

    // A click on another row shows it; typing a name keeps eight characters, and moving on
    // stores it.
    f.clickRow(1);
    QCOMPARE(f.shown().at(1), QStringLiteral("amy"));
    AppFixture::typeInto(f.edit(3), QStringLiteral("123456789"));
    QCOMPARE(f.edit(3)->text(), QStringLiteral("12345678"));
    AppFixture::typeInto(f.edit(5), QStringLiteral("研發部"));
    QCOMPARE(f.stored("cus_name", QStringLiteral("amy")).toString(), QStringLiteral("艾美"));
    f.clickRow(2);
    QCOMPARE(f.stored("cus_name", QStringLiteral("amy")).toString(), QStringLiteral("12345678"));
    QCOMPARE(f.stored("cus_group", QStringLiteral("amy")).toString(), QStringLiteral("研發部"));

    // Level 2 has no item; choosing one writes its value, the post button stores it.
    QCOMPARE(f.shown(), (QStringList{QStringLiteral("3"), QStringLiteral("bob"), QStringLiteral("鮑伯"),
                                     QStringLiteral("pw"), QStringLiteral("資訊"), QStringLiteral("-1")}));
    QTest::mouseClick(f.level()->button(1), Qt::LeftButton);
    QCOMPARE(f.accounts().fieldByName(QStringLiteral("cus_leve"))->asInteger(), 1);
    f.press(nbPost);
    QCOMPARE(f.stored("cus_leve", QStringLiteral("bob")).toInt(), 1);

    // Cancel drops what was typed.
    AppFixture::typeInto(f.edit(2), QStringLiteral("robert"));
    f.press(nbCancel);
    QCOMPARE(f.edit(2)->text(), QStringLiteral("bob"));
    QCOMPARE(f.stored("cus_number", QStringLiteral("bob")).toString(), QStringLiteral("bob"));

    // An account applied for since the list was read appears after the refresh button.
    f.addCustomer(QStringLiteral("new"), QStringLiteral("pw"), QStringLiteral("新人"));
    QCOMPARE(f.grid()->model()->rowCount(), 3);
    f.press(nbRefresh);
    QCOMPARE(f.grid()->model()->rowCount(), 4);
    QCOMPARE(f.shown().at(1), QStringLiteral("bob"));
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestPermissionPage::refusedAndDeleted() {
    PermissionFixture f;

    // An account name that sign-in would take for a stored one (case, width, trailing spaces):
    // the engine's message, the row stays in editing with the typed text, and nothing is stored.
    const QString taken = QStringLiteral("ＡＭｙ ");
    f.clickRow(2);
    AppFixture::typeInto(f.edit(2), taken);
    f.press(nbPost);
    QCOMPARE(f.dialogs().shown().size(), 1);
    QCOMPARE(f.dialogs().shown().first().kind, ScriptedDialogs::Kind::Error);
    QVERIFY(f.dialogs().shown().first().text.contains(QString::fromLatin1(AccountNameRule::message())));
    QCOMPARE(f.accounts().state(), DatasetState::Edit);
    QCOMPARE(f.edit(2)->text(), taken);
    QCOMPARE(f.stored("cus_name", QStringLiteral("bob")).toString(), QStringLiteral("鮑伯"));
    // Moving away is refused the same way; cancel brings the stored name back.
    f.clickRow(0);
    QCOMPARE(f.dialogs().shown().size(), 2);
    QCOMPARE(f.accounts().state(), DatasetState::Edit);
    f.press(nbCancel);
    QCOMPARE(f.edit(2)->text(), QStringLiteral("bob"));

    // A manager deletes their own account after the question: gone from the table, while the
    // current sign-in keeps its level and its pages until the program ends.
    f.dialogs().clear();
    f.clickRow(0);
    QCOMPARE(f.shown().at(1), QStringLiteral("boss"));
    f.press(nbDelete);
    QCOMPARE(f.dialogs().shown().size(), 1);
    QCOMPARE(f.count(QStringLiteral("customer")), 2);
    QCOMPARE(f.stored("cus_id", QStringLiteral("boss")), QVariant());
    QCOMPARE(f.shown().at(1), QStringLiteral("amy"));
    QCOMPARE(f.form().userLevel(), 3);
    QVERIFY(f.visibleTabs().contains(QStringLiteral("TabSheet6")));
    f.clickTab(2);
    QVERIFY(f.find<TDBXNavigator>(QStringLiteral("DBXNavigator1"))->button(nbDelete)->isVisible());
}

void TestPermissionPage::neverSignInAndAnotherCopysChanges() {
    PermissionFixture f;
    const auto refusedInEditing = [&](const QString &message, const QString &typed) {
        QCOMPARE(f.dialogs().shown().size(), 1);
        QCOMPARE(f.dialogs().shown().first().kind, ScriptedDialogs::Kind::Error);
        QCOMPARE(f.dialogs().shown().first().text, message);
        QCOMPARE(f.accounts().state(), DatasetState::Edit);
        QCOMPARE(f.edit(2)->text(), typed);
        f.dialogs().clear();
        f.press(nbCancel);
    };

    // An account name that sign-in, which trims what is typed, could never match: refused with
    // its reason, the row stays in editing, nothing is stored; "amy" signs in as before.
    for (const QString &never : {QStringLiteral(" AMY "), QStringLiteral("bob\t")}) {
        f.clickRow(2);
        AppFixture::typeInto(f.edit(2), never);
        f.press(nbPost);
        refusedInEditing(AccountNameRule::untrimmedMessage(), never);
        QCOMPARE(f.edit(2)->text(), QStringLiteral("bob"));
    }
    QCOMPARE(
        f.rows(QStringLiteral("select cus_number from customer order by cus_id")),
        (QList<QVariantList>{{QStringLiteral("boss")}, {QStringLiteral("amy")}, {QStringLiteral("bob")}}));

    // Another copy renames bob while this page still shows the old name: renaming him here too
    // is refused with the engine's message instead of undoing the other change.
    f.exec(QStringLiteral("UPDATE customer SET cus_number = 'robert' WHERE cus_number = 'bob'"));
    f.clickRow(2);
    AppFixture::typeInto(f.edit(2), QStringLiteral("bobby"));
    f.press(nbPost);
    refusedInEditing(QStringLiteral("Row cannot be located for updating. Some values may have been changed "
                                    "since it was last read."),
                     QStringLiteral("bobby"));
    QCOMPARE(f.stored("cus_name", QStringLiteral("robert")).toString(), QStringLiteral("鮑伯"));
    // A change of another column goes in beside the other copy's change.
    f.clickRow(2);
    AppFixture::typeInto(f.edit(3), QStringLiteral("羅伯"));
    f.press(nbPost);
    QVERIFY(f.dialogs().shown().isEmpty());
    QCOMPARE(f.stored("cus_name", QStringLiteral("robert")).toString(), QStringLiteral("羅伯"));
    f.press(nbRefresh);
    f.clickRow(2);
    QCOMPARE(f.shown().mid(1, 2), (QStringList{QStringLiteral("robert"), QStringLiteral("羅伯")}));
}

QTEST_MAIN(TestPermissionPage)
#include "tst_permissionpage.moc"
