// The whole program by keyboard alone: the focus at start and back on the sign-in page, Enter on
// the focused push button, Tab through every control of every page, and Ctrl+Tab out of every
// grid and the date picker, while Ctrl+Tab from other controls still changes the page.
#include "AppFixture.h"

#include "Dataset.h"
#include "FormData.h"
#include "TForm1.h"
#include "TSMDBGrid.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTest>

namespace {

QString focusName() {
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
}

void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget *w = QApplication::focusWidget();
    QVERIFY2(w, "no control has the focus");
    QTest::keyClick(w, k, mods);
}

//! Does the control use Tab itself, so that only Ctrl+Tab leaves it?
bool keepsTab(const QWidget *w) {
    return qobject_cast<const TSMDBGrid *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

//! Presses Tab, or Ctrl+Tab where the control keeps Tab, until `name` has the focus.
void tabTo(const QString &name) {
    for (int i = 0; i < 20 && focusName() != name; ++i)
        key(Qt::Key_Tab, keepsTab(QApplication::focusWidget()) ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(focusName(), name);
}

//! The controls the focus visits, starting from the focused one, by Tab, or by Ctrl+Tab where a
//! control keeps Tab, until it comes back; then the same backwards by Shift+Tab and
//! Ctrl+Shift+Tab. Controls without a name of their own (radio buttons, the page control's tab
//! row) are named after the control they belong to.
QStringList walk(bool backwards = false) {
    const auto name = [] {
        QWidget *w = QApplication::focusWidget();
        if (!w) return QStringLiteral("(none)");
        return w->objectName().isEmpty() || qobject_cast<QRadioButton *>(w) ? w->parentWidget()->objectName()
                                                                            : w->objectName();
    };
    QStringList seen{name()};
    for (int i = 0; i < 30; ++i) {
        QWidget *w = QApplication::focusWidget();
        if (!w) break;
        const Qt::KeyboardModifiers ctrl = keepsTab(w) ? Qt::ControlModifier : Qt::NoModifier;
        QTest::keyClick(w, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        ctrl | (backwards ? Qt::ShiftModifier : Qt::NoModifier));
        if (name() == seen.first()) return seen;
        seen << name();
    }
    return seen << QStringLiteral("(never came back)");
}

QStringList reversed(QStringList cycle) {
    std::reverse(cycle.begin() + 1, cycle.end());
    return cycle;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void wholeProgramByKeyboard();
};

void TestKeyboard::wholeProgramByKeyboard() {
    AppFixture f;
    f.addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    StartOptions options;
    options.exportFolder = f.dir() + QStringLiteral("/exports");
    QDir().mkpath(options.exportFolder);
    TForm1 &w = f.openForm(options);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // At start the account edit has the focus: what is typed goes there.
    QCOMPARE(focusName(), QStringLiteral("Edit1"));
    QCOMPARE(walk(), (QStringList{QStringLiteral("Edit1"), QStringLiteral("Edit2"), QStringLiteral("BitBtn1"),
                                  QStringLiteral("BitBtn2"), QStringLiteral("PageControl1")}));

    // Enter on "申請帳號", then on "回登入畫面": back on the sign-in page, in the account edit.
    tabTo(QStringLiteral("BitBtn2"));
    key(Qt::Key_Return);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    QCOMPARE(focusName(), QStringLiteral("Edit3"));
    tabTo(QStringLiteral("Button1"));
    key(Qt::Key_Enter);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QCOMPARE(focusName(), QStringLiteral("Edit1"));

    // An application typed and sent by keyboard; the message closes onto the sign-in page.
    tabTo(QStringLiteral("BitBtn2"));
    key(Qt::Key_Return);
    tabTo(QStringLiteral("Edit3"));
    QCOMPARE(walk(), (QStringList{QStringLiteral("Edit3"), QStringLiteral("Edit4"), QStringLiteral("Edit5"),
                                  QStringLiteral("Edit6"), QStringLiteral("BitBtn3"),
                                  QStringLiteral("Button1"), QStringLiteral("PageControl1")}));
    for (const char *typed : {"amy", "Amy", "pw", "IT"}) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        key(Qt::Key_Tab);
    }
    QCOMPARE(focusName(), QStringLiteral("BitBtn3"));
    key(Qt::Key_Return);
    QCOMPARE(f.dialogs().texts(), QStringList{QStringLiteral("帳號已新增")});
    QCOMPARE(f.count(QStringLiteral("customer")), 2);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QCOMPARE(focusName(), QStringLiteral("Edit1"));

    // Enter in an edit signs no one in; on "登入系統" it does.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("boss"));
    key(Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw"));
    key(Qt::Key_Return);
    QVERIFY(w.userName().isEmpty());
    key(Qt::Key_Tab);
    QCOMPARE(focusName(), QStringLiteral("BitBtn1"));
    key(Qt::Key_Return);
    QCOMPARE(w.userName(), QStringLiteral("老闆"));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));

    // The catalog page: Ctrl+Tab leaves each grid for the next control, Ctrl+Shift+Tab for the
    // one before; every control is reached.
    f.find<QWidget>(QStringLiteral("CB1"))->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("CoCo"));
    QVERIFY(w.data().ADOQuery2->isActive());
    const QStringList catalog{QStringLiteral("CB1"),          QStringLiteral("SMDBGrid2"),
                              QStringLiteral("SMDBGrid3"),    QStringLiteral("Edit11"),
                              QStringLiteral("ColorButton1"), QStringLiteral("PageControl1")};
    QCOMPARE(walk(), catalog);
    QCOMPARE(walk(true), reversed(catalog));
    // Inside a grid, Tab still moves between the cells.
    tabTo(QStringLiteral("SMDBGrid3"));
    auto *items = f.find<TSMDBGrid>(QStringLiteral("SMDBGrid3"));
    const int column = items->currentIndex().column();
    key(Qt::Key_Tab);
    QCOMPARE(focusName(), QStringLiteral("SMDBGrid3"));
    QCOMPARE(items->currentIndex().column(), column + 1);

    // From an ordinary control Ctrl+Tab changes the page, as the page control always has: the
    // summary page is entered and lists the day.
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(focusName(), QStringLiteral("Edit11"));
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet4"));
    QVERIFY(w.data().ADODataSet2->isActive());
    f.find<QWidget>(QStringLiteral("DTP1"))->setFocus();
    const QStringList summary{QStringLiteral("DTP1"), QStringLiteral("SMDBGrid4"), QStringLiteral("Button2"),
                              QStringLiteral("PageControl1")};
    QCOMPARE(walk(), summary);
    QCOMPARE(walk(true), reversed(summary));
    // Enter on "轉存成Excel" writes the day's file.
    tabTo(QStringLiteral("Button2"));
    key(Qt::Key_Return);
    QCOMPARE(QDir(options.exportFolder).entryList(QDir::Files).size(), 1);
    QCOMPARE(f.dialogs().texts().size(), 1);

    // The menu page, and Enter on its colour button adds the item typed.
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet5"));
    f.find<QWidget>(QStringLiteral("Edit7"))->setFocus();
    const QStringList menu{QStringLiteral("Edit7"),     QStringLiteral("Edit8"),
                           QStringLiteral("Edit9"),     QStringLiteral("Edit10"),
                           QStringLiteral("RG1"),       QStringLiteral("ColorButton2"),
                           QStringLiteral("SMDBGrid1"), QStringLiteral("PageControl1")};
    QCOMPARE(walk(), menu);
    QCOMPARE(walk(true), reversed(menu));
    for (const char *typed : {"CoCo", "Tea", "Green", "30"}) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
        key(Qt::Key_Tab);
    }
    tabTo(QStringLiteral("ColorButton2"));
    key(Qt::Key_Return);
    QCOMPARE(f.count(QStringLiteral("menu")), 2);

    // The permission page: the accounts' grid, the bound edits, the level and the notice.
    f.find<QWidget>(QStringLiteral("Edit7"))->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet6"));
    f.find<QWidget>(QStringLiteral("SMDBGrid5"))->setFocus();
    const QStringList permission{QStringLiteral("SMDBGrid5"), QStringLiteral("DBEdit2"),
                                 QStringLiteral("DBEdit3"),   QStringLiteral("DBEdit4"),
                                 QStringLiteral("DBEdit5"),   QStringLiteral("DBRadioGroup1"),
                                 QStringLiteral("Memo1"),     QStringLiteral("PageControl1")};
    QCOMPARE(walk(), permission);
    QCOMPARE(walk(true), reversed(permission));
    QCOMPARE(f.dialogs().texts().size(), 1);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
