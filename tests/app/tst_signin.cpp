// Sign-in page: its controls, what it shows for a match and for no match, the tabs and status
// text the window sets, and the silence of engine failures. The look-up itself is tested with
// the account statements.
#include "AppFixture.h"

#include "Dataset.h"
#include "FormData.h"
#include "PageControl.h"
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
    void signsInWithLevelAndTabs_data();
    void signsInWithLevelAndTabs();
    void surroundingSpacesAndControlCharacters();
    void emptyFields();
    void wrongPasswordKeepsTheEdits();
    void emptyNameSignsIn();
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
    // No button is the window's default one: a button is the one Enter presses only while it
    // has the focus.
    for (const char *name : {"BitBtn1", "BitBtn2"}) {
        auto *button = f.find<QPushButton>(QString::fromLatin1(name));
        QVERIFY(!button->isDefault());
        button->setFocus();
        QVERIFY(button->isDefault());
        password->setFocus();
        QVERIFY(!button->isDefault());
    }
    QVERIFY(f.form().userName().isEmpty());
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
    auto *shops = f.find<QComboBox>(QStringLiteral("CB1"));
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

void TestSignIn::emptyFields() {
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

    // Correcting the password and pressing again signs in.
    AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit2")), QStringLiteral("pw"));
    f.click(QStringLiteral("BitBtn1"));
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
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
