// Account application page: its controls, the messages, what the typed texts become, and the
// moves between the sign-in and application pages. The insert's statement itself is tested
// with the account statements.
#include "AppFixture.h"

#include "AccountNameRule.h"
#include "Dataset.h"
#include "FormData.h"
#include "TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString Added = QStringLiteral("帳號已新增");
const QString Failed = QStringLiteral("錯誤請找管理人");
const QString Customers = QStringLiteral(
    "select cus_number, cus_name, cus_password, cus_group, cus_leve from customer order by cus_id");
} // namespace

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void controlsAsPlaced();
    void allEditsEmpty();
    void nameOfEightAcceptedNineRefused();
    void applyingTwice();
    void editsKeepTheirTexts();
    void unreachableDatabase();

private:
    static void fill(AppFixture &f, const QStringList &texts);
};

void TestApplication::fill(AppFixture &f, const QStringList &texts) {
    for (int i = 0; i < 4; ++i)
        AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit%1").arg(i + 3)), texts.at(i));
}

void TestApplication::controlsAsPlaced() {
    AppFixture f;
    f.openForm();
    const struct {
        const char *name;
        QRect geometry;
        const char *text;
    } controls[] = {
        {"Label3", {16, 16, 50, 23}, "帳號"},
        {"Label4", {16, 56, 50, 23}, "姓名"},
        {"Label5", {16, 96, 50, 23}, "密碼"},
        {"Label6", {16, 136, 50, 23}, "部門"},
        {"Edit3", {64, 16, 150, 21}, ""},
        {"Edit4", {64, 56, 150, 21}, ""},
        {"Edit5", {64, 96, 150, 21}, ""},
        {"Edit6", {64, 136, 150, 21}, ""},
        {"BitBtn3", {16, 176, 100, 33}, "確定申請"},
        {"Button1", {136, 176, 100, 33}, "回登入畫面"},
    };
    QWidget *page = f.form().tabSheet(TForm1::Application);
    for (const auto &c : controls) {
        auto *w = f.find<QWidget>(QString::fromLatin1(c.name));
        QVERIFY2(w, c.name);
        QCOMPARE(w->parentWidget(), page);
        QCOMPARE(w->geometry(), c.geometry);
        if (auto *label = qobject_cast<QLabel *>(w)) QCOMPARE(label->text(), QString::fromUtf8(c.text));
        if (auto *button = qobject_cast<QPushButton *>(w)) {
            QCOMPARE(button->text(), QString::fromUtf8(c.text));
            QCOMPARE(button->font().pixelSize(), 13);
        }
    }
    // Typing reaches the page once its tab shows.
    f.click(QStringLiteral("BitBtn2"));
    QVERIFY(QTest::qWaitForWindowActive(&f.form()));
    auto *password = f.find<QLineEdit>(QStringLiteral("Edit5"));
    AppFixture::typeInto(password, QStringLiteral("secret"));
    QCOMPARE(password->displayText(), QStringLiteral("******"));

    // Tab order: the four edits, then the two buttons.
    f.find<QLineEdit>(QStringLiteral("Edit3"))->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order,
             (QStringList{QStringLiteral("Edit3"), QStringLiteral("Edit4"), QStringLiteral("Edit5"),
                          QStringLiteral("Edit6"), QStringLiteral("BitBtn3"), QStringLiteral("Button1")}));
}

void TestApplication::allEditsEmpty() {
    AppFixture f;
    f.openForm();
    f.click(QStringLiteral("BitBtn2"));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.dialogs().texts(), QStringList{Added});
    QCOMPARE(f.dialogs().shown().at(0).kind, ScriptedDialogs::Kind::Message);
    const QList<QVariantList> rows = f.rows(Customers);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0), (QVariantList{QString(), QString(), QString(), QString(), 0}));
    for (int i = 0; i < 4; ++i)
        QVERIFY2(!rows.at(0).at(i).isNull(), "empty text, not an empty value");
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
}

void TestApplication::nameOfEightAcceptedNineRefused() {
    AppFixture f;
    f.openForm();
    f.click(QStringLiteral("BitBtn2"));
    fill(f, {QStringLiteral("nine"), QStringLiteral("一二三四五六七八九"), QStringLiteral("pw"), QString()});
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.dialogs().texts(), QStringList{Failed});
    QCOMPARE(f.count(QStringLiteral("customer")), 0);
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet2")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit4"))->text(), QStringLiteral("一二三四五六七八九"));

    AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit4")), QStringLiteral("一二三四五六七八"));
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.dialogs().texts(), (QStringList{Failed, Added}));
    QCOMPARE(f.rows(QStringLiteral("select cus_name from customer")),
             QList<QVariantList>{{QStringLiteral("一二三四五六七八")}});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
}

void TestApplication::applyingTwice() {
    AppFixture f;
    f.openForm();
    const QStringList texts = {QStringLiteral("amy"), QStringLiteral("艾米"), QStringLiteral("pw"),
                               QStringLiteral("業務")};
    f.click(QStringLiteral("BitBtn2"));
    fill(f, texts);
    f.click(QStringLiteral("BitBtn3"));
    f.click(QStringLiteral("BitBtn2"));
    f.click(QStringLiteral("BitBtn3"));
    // The table keeps account names unique, so the second application is refused, saying why,
    // and the account that exists can still sign in.
    const QString taken = AccountNameRule::takenReason();
    QCOMPARE(f.dialogs().texts(), (QStringList{Added, taken}));
    QCOMPARE(f.count(QStringLiteral("customer")), 1);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    // Nor can anyone take the account in a spelling that sign-in takes for it.
    for (const QString &same :
         {QStringLiteral("amy "), QStringLiteral("ＡＭＹ"), QStringLiteral("amy\u3000")}) {
        AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit3")), same);
        f.click(QStringLiteral("BitBtn3"));
        QCOMPARE(f.dialogs().texts().last(), taken);
    }
    // Nor an account that sign-in, which trims what is typed, could never match.
    for (const QString &never : {QStringLiteral(" cat"), QStringLiteral("\tcat"), QStringLiteral("cat\t "),
                                 QStringLiteral(" amy")}) {
        AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit3")), never);
        f.click(QStringLiteral("BitBtn3"));
        QCOMPARE(f.dialogs().texts().last(), AccountNameRule::untrimmedMessage());
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit3"))->text(), never);
    }
    QCOMPARE(f.dialogs().texts().size(), 9);
    QCOMPARE(f.count(QStringLiteral("customer")), 1);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    f.click(QStringLiteral("Button1"));
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QCOMPARE(f.form().userName(), QStringLiteral("艾米"));
}

void TestApplication::editsKeepTheirTexts() {
    AppFixture f;
    f.openForm();
    AppFixture::typeInto(f.find<QLineEdit>(QStringLiteral("Edit1")), QStringLiteral("typed"));
    f.click(QStringLiteral("BitBtn2"));
    const QStringList texts = {QStringLiteral("bob"), QStringLiteral("鮑伯"), QStringLiteral("pw"),
                               QStringLiteral("會計")};
    fill(f, texts);
    f.click(QStringLiteral("Button1"));
    f.click(QStringLiteral("BitBtn2"));
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    f.click(QStringLiteral("BitBtn2"));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit%1").arg(i + 3))->text(), texts.at(i));
    QCOMPARE(f.find<QLineEdit>(QStringLiteral("Edit1"))->text(), QStringLiteral("typed"));
    QCOMPARE(f.count(QStringLiteral("customer")), 1);
}

void TestApplication::unreachableDatabase() {
    AppFixture f;
    f.openForm();
    f.exec(QStringLiteral("alter table customer rename to customer_gone"));
    f.click(QStringLiteral("BitBtn2"));
    fill(f, {QStringLiteral("amy"), QStringLiteral("艾米"), QStringLiteral("pw"), QString()});
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.dialogs().texts(), QStringList{Failed});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    QCOMPARE(f.count(QStringLiteral("customer_gone")), 0);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
