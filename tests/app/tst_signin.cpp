// Sign-in: the page's controls, the preparation of the typed texts, the exactly-one-row rule,
// the tabs and status text it sets, and inputs built to change the statement.
#include "AppFixture.h"

#include "Dataset.h"
#include "FormData.h"
#include "PageControl.h"
#include "SignInPage.h"
#include "StatusBar.h"
#include "TForm1.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <climits>

namespace {
const QString WrongMessage = QStringLiteral("帳號密碼錯誤");
const QStringList WorkingTabs = {QStringLiteral("TabSheet3"), QStringLiteral("TabSheet4"),
                                 QStringLiteral("TabSheet5")};
} // namespace

class TestSignIn : public QObject {
    Q_OBJECT
private slots:
    void controlsAsPlaced();
    void tabOrderAndNoDefaultButton();
    void preparationOfTypedTexts();
    void signsInWithLevelAndTabs_data();
    void signsInWithLevelAndTabs();
    void surroundingSpacesAndControlCharacters();
    void lettersCaseIgnored();
    void chineseCharactersInPassword();
    void emptyFields();
    void wrongPasswordKeepsTheEdits();
    void twoMatchingRows();
    void emptyNameSignsIn();
    void specialCharactersComparedAsTyped();
    void subvertingInputsSignNoOneIn_data();
    void subvertingInputsSignNoOneIn();
    void engineFailureIsSilent();
};

void TestSignIn::controlsAsPlaced() {
    AppFixture f;
    f.openForm();
    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } controls[] = {
        {"Label1", {56, 64, 80, 21}, "輸入帳號"},   {"Label2", {56, 96, 80, 21}, "輸入密碼"},
        {"Edit1", {136, 64, 121, 21}, ""},          {"Edit2", {136, 96, 121, 21}, ""},
        {"BitBtn1", {72, 144, 73, 25}, "登入系統"}, {"BitBtn2", {184, 144, 75, 25}, "申請帳號"},
    };
    QWidget *page = f.form().tabSheet(TForm1::SignIn);
    for (const auto &c : controls) {
        auto *w = f.find<QWidget>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->parentWidget(), page);
        QCOMPARE(w->geometry(), c.geometry);
        if (auto *label = qobject_cast<QLabel *>(w)) QCOMPARE(label->text(), QString::fromUtf8(c.text));
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(button->text(), QString::fromUtf8(c.text));
            QCOMPARE(button->accessibleName(), QString::fromUtf8(c.text));
        }
    }
    // The password shows a star for every character.
    auto *password = f.find<QLineEdit>(QStringLiteral("Edit2"));
    AppFixture::typeInto(password, QStringLiteral("abc"));
    QCOMPARE(password->displayText(), QStringLiteral("***"));
    QCOMPARE(password->text(), QStringLiteral("abc"));
}

void TestSignIn::tabOrderAndNoDefaultButton() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
    f.openForm();
    QVERIFY(QTest::qWaitForWindowActive(&f.form()));
    auto *account = f.find<QLineEdit>(QStringLiteral("Edit1"));
    account->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, (QStringList{QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("BitBtn1"),
                                 QStringLiteral("BitBtn2")}));

    // Enter in an edit does not sign in.
    AppFixture::typeInto(account, QStringLiteral("amy"));
    auto *password = f.find<QLineEdit>(QStringLiteral("Edit2"));
    AppFixture::typeInto(password, QStringLiteral("pw"));
    QTest::keyClick(password, Qt::Key_Return);
    QTest::keyClick(account, Qt::Key_Enter);
    QVERIFY(f.form().userName().isEmpty());
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    for (const char *name : {"BitBtn1", "BitBtn2"}) {
        auto *button = f.find<QPushButton>(QString::fromLatin1(name));
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestSignIn::preparationOfTypedTexts() {
    QCOMPARE(SignInPage::prepared(QStringLiteral(" \t\r\n\x01 Ab C \x1f\x20")), QStringLiteral("ab c"));
    // Only ASCII capitals change; other letters and characters stay as typed.
    QCOMPARE(SignInPage::prepared(QStringLiteral("ÄÉ ＡＢ Ωz")), QStringLiteral("ÄÉ ＡＢ Ωz"));
    QCOMPARE(SignInPage::prepared(QStringLiteral("XYZ@[`{")), QStringLiteral("xyz@[`{"));
    // Characters above 32 are not trimmed, whatever their kind of space.
    QCOMPARE(SignInPage::prepared(QStringLiteral("\u00a0a\u3000")), QStringLiteral("\u00a0a\u3000"));
    QCOMPARE(SignInPage::prepared(QStringLiteral("\x7f")), QStringLiteral("\x7f"));
    QCOMPARE(SignInPage::prepared(QStringLiteral("  ")), QString());
}

void TestSignIn::signsInWithLevelAndTabs_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("tabs");
    QTest::newRow("ordinary") << QVariant(0) << 0 << WorkingTabs;
    QTest::newRow("delete manager") << QVariant(1) << 1 << WorkingTabs;
    QTest::newRow("system manager") << QVariant(3) << 3
                                    << (WorkingTabs + QStringList{QStringLiteral("TabSheet6")});
    QTest::newRow("no level stored") << QVariant() << 0 << WorkingTabs;
    QTest::newRow("level beyond int, low bits 3")
        << QVariant(qint64(0x100000003)) << int(INT_MAX) << WorkingTabs;
}

void TestSignIn::signsInWithLevelAndTabs() {
    QFETCH(QVariant, stored);
    QFETCH(int, level);
    QFETCH(QStringList, tabs);
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), stored);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    f.addMenu(QStringLiteral("50嵐"), QStringLiteral("茶"), QStringLiteral("四季春"));
    TForm1 &w = f.openForm();
    QSignalSpy changes(w.pageControl(), &PageControl::pageChanged);

    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QVERIFY(f.dialogs().shown().isEmpty());
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
    QCOMPARE(w.userLevel(), level);
    QCOMPARE(w.statusPanels()->panelText(0), QStringLiteral("使用者：艾米"));
    QCOMPARE(f.visibleTabs(), tabs);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));
    QCOMPARE(changes.count(), 0);
    // The shop list is filled, no shop chosen.
    QComboBox *shops = w.shopBox();
    QCOMPARE(shops->count(), 2);
    QCOMPARE(shops->currentIndex(), -1);
    QVERIFY(shops->currentText().isEmpty());
    QVERIFY(!w.data().ADOQuery_GET->isActive());
}

void TestSignIn::surroundingSpacesAndControlCharacters() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy lee"), QStringLiteral("pw"), QStringLiteral("艾米"));
    TForm1 &w = f.openForm();

    // Spaces inside the account stay part of it.
    f.signIn(QStringLiteral("amylee"), QStringLiteral("pw"));
    QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});

    // Control characters come in by pasting; they are trimmed with the spaces.
    QApplication::clipboard()->setText(QStringLiteral("\t amy lee \x01"));
    auto *account = f.find<QLineEdit>(QStringLiteral("Edit1"));
    account->setFocus();
    account->selectAll();
    QTest::keySequence(account, QKeySequence::Paste);
    QCOMPARE(account->text(), QStringLiteral("\t amy lee \x01"));
    AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit2")), QStringLiteral("  pw   "));
    f.click(QStringLiteral("BitBtn1"));
    QCOMPARE(f.dialogs().shown().size(), 1);
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
}

void TestSignIn::lettersCaseIgnored() {
    {
        // Typed capitals are made small; stored capitals still match.
        AppFixture f;
        f.addCustomer(QStringLiteral("Amy"), QStringLiteral("PassWord"), QStringLiteral("艾米"), 1);
        TForm1 &w = f.openForm();
        f.signIn(QStringLiteral("AMY"), QStringLiteral("PASSWORD"));
        QCOMPARE(w.userLevel(), 1);
        QVERIFY(f.dialogs().shown().isEmpty());
    }
    {
        // Full-width letters from a Chinese input method equal their half-width forms.
        AppFixture f;
        f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
        TForm1 &w = f.openForm();
        f.signIn(QStringLiteral("ＡＭＹ"), QStringLiteral("pw"));
        QCOMPARE(w.userName(), QStringLiteral("艾米"));
    }
}

void TestSignIn::chineseCharactersInPassword() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("綠茶ab"), QStringLiteral("艾米"));
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("amy"), QStringLiteral("綠茶"));
    QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});
    f.signIn(QStringLiteral("amy"), QStringLiteral("紅茶AB"));
    QCOMPARE(f.dialogs().texts(), (QStringList{WrongMessage, WrongMessage}));
    QVERIFY(w.userName().isEmpty());
    f.signIn(QStringLiteral("amy"), QStringLiteral("綠茶AB"));
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
    QCOMPARE(f.dialogs().shown().size(), 2);
}

void TestSignIn::emptyFields() {
    {
        AppFixture f;
        f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
        f.addCustomer(QStringLiteral("bob"), QString(), QStringLiteral("鮑伯"));
        TForm1 &w = f.openForm();
        f.signIn(QString(), QString());
        QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});
        QVERIFY(w.userName().isEmpty());
        QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
        QVERIFY(w.statusPanels()->panelText(0).isEmpty());
    }
    {
        // Only an account with an empty name and an empty password matches empty fields.
        AppFixture f;
        f.addCustomer(QStringLiteral(""), QStringLiteral(""), QStringLiteral("無名"));
        TForm1 &w = f.openForm();
        f.signIn(QStringLiteral("   "), QString());
        QVERIFY(f.dialogs().shown().isEmpty());
        QCOMPARE(w.userName(), QStringLiteral("無名"));
    }
}

void TestSignIn::wrongPasswordKeepsTheEdits() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("amy"), QStringLiteral("wrong"));
    QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});
    QCOMPARE(f.dialogs().shown().at(0).kind, ScriptedDialogs::Kind::Message);
    QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit1"))->text(), QStringLiteral("amy"));
    QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit2"))->text(), QStringLiteral("wrong"));
    QVERIFY(w.statusPanels()->panelText(0).isEmpty());
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QVERIFY(!w.data().ADOQuery_GET->isActive());
    // The typed texts went to the engine prepared and bound, never pasted into the text.
    const Statement &statement = w.data().ADOQuery_GET->statement();
    QCOMPARE(statement.lines().size(), 3);
    QCOMPARE(statement.lines().at(0), QStringLiteral("Select * From customer Where "));
    QVERIFY(!statement.text().contains(QStringLiteral("amy")));
    QCOMPARE(statement.params().size(), 2);
    QCOMPARE(statement.params().at(0).value.toString(), QStringLiteral("amy"));
    QCOMPARE(statement.params().at(1).value.toString(), QStringLiteral("wrong"));

    // Correcting the password and pressing again signs in.
    AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit2")), QStringLiteral("pw"));
    f.click(QStringLiteral("BitBtn1"));
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
}

void TestSignIn::twoMatchingRows() {
    AppFixture f;
    // Distinct as stored, equal as sign-in compares them (trailing space, full width).
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), 3);
    f.addCustomer(QStringLiteral("ａｍｙ"), QStringLiteral("pw"), QStringLiteral("冒名"), 3);
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});
    QVERIFY(w.userName().isEmpty());
    QCOMPARE(w.userLevel(), 0);
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
}

void TestSignIn::emptyNameSignsIn() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QString());
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QVERIFY(f.dialogs().shown().isEmpty());
    QCOMPARE(w.statusPanels()->panelText(0), QStringLiteral("使用者："));
    QCOMPARE(f.visibleTabs(), WorkingTabs);
}

void TestSignIn::specialCharactersComparedAsTyped() {
    AppFixture f;
    const QString account = QStringLiteral("a\"b'c\\d%e");
    const QString password = QStringLiteral("p'\"\\%_");
    f.addCustomer(account, password, QStringLiteral("怪名"));
    f.addCustomer(QStringLiteral("abcde"), QStringLiteral("pw"), QStringLiteral("正常"));
    TForm1 &w = f.openForm();
    // A percent sign is no wildcard.
    f.signIn(QStringLiteral("a\"b'c\\d%"), password);
    f.signIn(QStringLiteral("%"), QStringLiteral("%"));
    QCOMPARE(f.dialogs().texts(), (QStringList{WrongMessage, WrongMessage}));
    f.signIn(account, password);
    QCOMPARE(w.userName(), QStringLiteral("怪名"));
}

void TestSignIn::subvertingInputsSignNoOneIn_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::newRow("double quote or") << QStringLiteral("\" or \"\"=\"") << QStringLiteral("\" or \"\"=\"");
    QTest::newRow("single quote or") << QStringLiteral("' or '1'='1") << QStringLiteral("' or '1'='1");
    QTest::newRow("comment") << QStringLiteral("admin\" --") << QStringLiteral("x");
    QTest::newRow("x comment") << QStringLiteral("x\" --") << QStringLiteral("x\" --");
    QTest::newRow("stacked") << QStringLiteral("admin\"; delete from customer; --") << QStringLiteral("x");
    QTest::newRow("union") << QStringLiteral("x\" union select 1,'a','Boss','p','g',3 --")
                           << QStringLiteral("p");
}

void TestSignIn::subvertingInputsSignNoOneIn() {
    QFETCH(QString, account);
    QFETCH(QString, password);
    AppFixture f;
    f.addCustomer(QStringLiteral("admin"), QStringLiteral("secret"), QStringLiteral("管理"), 3);
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), 0);
    const QList<QVariantList> before = f.rows(QStringLiteral("select * from customer order by cus_id"));
    TForm1 &w = f.openForm();
    f.signIn(account, password);
    QCOMPARE(f.dialogs().texts(), QStringList{WrongMessage});
    QVERIFY(w.userName().isEmpty());
    QCOMPARE(w.userLevel(), 0);
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.rows(QStringLiteral("select * from customer order by cus_id")), before);
}

void TestSignIn::engineFailureIsSilent() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
    TForm1 &w = f.openForm();
    f.exec(QStringLiteral("alter table customer rename to customer_gone"));
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QVERIFY(f.dialogs().shown().isEmpty());
    QVERIFY(w.userName().isEmpty());
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});

    // Once the table is back the same click signs in: the failed query did not stick.
    f.exec(QStringLiteral("alter table customer_gone rename to customer"));
    f.click(QStringLiteral("BitBtn1"));
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
}

QTEST_MAIN(TestSignIn)
#include "tst_signin.moc"
