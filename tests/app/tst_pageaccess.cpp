// Pages whose tabs are hidden: no input reaches them (Ctrl+Tab, Ctrl+Shift+Tab, the tab bar's
// arrow keys, the mouse wheel over it, its accessibility actions, a direct change of its
// current tab), nor their controls (accessibility actions, focus, keys), and entering a page
// checks that the signed-in state allows it.
#include "AppFixture.h"

#include "PageControl.h"
#include "SignInPage.h"
#include "StatusBar.h"
#include "TForm1.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>
#include <QSet>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>

class TestPageAccess : public QObject {
    Q_OBJECT
private slots:
    void hiddenPagesCannotBeChosen();
    void controlsOfHiddenPagesDoNothing();

private:
    static QSet<QString> reachedByEveryInput(AppFixture &f);
    static void actOnHiddenPages(AppFixture &f);
    static QList<QVariantList> everything(AppFixture &f);
};

QSet<QString> TestPageAccess::reachedByEveryInput(AppFixture &f) {
    PageControl *pages = f.form().pageControl();
    QTabBar *bar = pages->tabBar();
    QSet<QString> reached{f.currentPage()};
    const auto note = [&] {
        reached << f.currentPage();
        // The page shown is the current one, never another behind it.
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i)->isVisible()) reached << pages->widget(i)->objectName();
    };
    const int n = pages->count() + 1;
    for (const Qt::KeyboardModifiers mods :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
        for (int i = 0; i < n; ++i) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : pages->currentWidget(), Qt::Key_Tab, mods);
            note();
        }
    }
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Right}) {
        for (int i = 0; i < n; ++i) {
            QTest::keyClick(bar, key);
            note();
        }
    }
    for (const int delta : {-120, 120, -120}) {
        for (int i = 0; i < n; ++i) {
            const QPointF at = bar->rect().center();
            QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &wheel);
            note();
        }
    }
    QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(bar);
    for (int i = 0; tabs && i < tabs->childCount(); ++i) {
        QAccessibleInterface *tab = tabs->child(i);
        if (QAccessibleActionInterface *action = tab ? tab->actionInterface() : nullptr)
            action->doAction(QAccessibleActionInterface::pressAction());
        note();
    }
    // An input not thought of yet: the tab bar told to change its current tab.
    for (int i = 0; i < pages->count(); ++i) {
        if (!pages->isTabVisible(i)) bar->setCurrentIndex(i);
        note();
    }
    return reached;
}

void TestPageAccess::hiddenPagesCannotBeChosen() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), 0);
    f.addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    TForm1 &w = f.openForm();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    using Pages = QSet<QString>;
    const auto sheets = [](std::initializer_list<int> numbers) {
        Pages out;
        for (int n : numbers)
            out << QStringLiteral("TabSheet%1").arg(n);
        return out;
    };

    // Signed out, and applying: the one page whose tab shows.
    f.find<QLineEdit>(QStringLiteral("Edit1"))->setFocus();
    QCOMPARE(reachedByEveryInput(f), sheets({1}));
    f.click(QStringLiteral("BitBtn2"));
    f.find<QLineEdit>(QStringLiteral("Edit3"))->setFocus();
    QCOMPARE(reachedByEveryInput(f), sheets({2}));
    f.click(QStringLiteral("Button1"));

    // An ordinary user: the three working pages, never the permission, sign-in or
    // application page.
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));
    QCOMPARE(reachedByEveryInput(f), sheets({3, 4, 5}));
    QCOMPARE(f.visibleTabs(), (QStringList{QStringLiteral("TabSheet3"), QStringLiteral("TabSheet4"),
                                           QStringLiteral("TabSheet5")}));

    // Entering a page checks the signed-in state, whatever showed its tab: a level-0 user is
    // kept off the permission page and a signed-in user off the sign-in page.
    f.clickTab(1);
    for (const int index : {int(TForm1::Permission), int(TForm1::SignIn)}) {
        w.setTabShown(index, true);
        f.clickTab(w.pageControl()->tabPosition(index));
        QCOMPARE(f.currentPage(), QStringLiteral("TabSheet4"));
        QVERIFY(!w.tabSheet(index)->isVisible());
        w.setTabShown(index, false);
    }
    // There is no second sign-in: the first user stays with their rights.
    f.find<SignInPage>(QStringLiteral("TabSheet1"))->BitBtn1Click();
    f.find<QLineEdit>(QStringLiteral("Edit1"))->setText(QStringLiteral("boss"));
    f.find<SignInPage>(QStringLiteral("TabSheet1"))->BitBtn1Click();
    QCOMPARE(w.userName(), QStringLiteral("艾米"));
    QCOMPARE(w.userLevel(), 0);
    QCOMPARE(w.statusPanels()->panelText(0), QStringLiteral("使用者：艾米"));
    QCOMPARE(f.visibleTabs().size(), 3);
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestPageAccess::actOnHiddenPages(AppFixture &f) {
    f.dialogs().setDefaultAnswer(true);
    PageControl *pages = f.form().pageControl();
    for (int i = 0; i < pages->count(); ++i) {
        QWidget *page = pages->widget(i);
        if (pages->isTabVisible(i)) continue;
        QList<QWidget *> controls = page->findChildren<QWidget *>();
        controls.prepend(page);
        for (QWidget *control : controls) {
            // Every action an assistive tool may call: press, focus, toggle, ...
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
            QAccessibleActionInterface *actions = a ? a->actionInterface() : nullptr;
            for (const QString &action : actions ? actions->actionNames() : QStringList())
                actions->doAction(action);
            // Whatever has the focus then gets keys.
            if (QWidget *focus = QApplication::focusWidget(); focus && page->isAncestorOf(focus)) {
                QTest::keyClicks(focus, QStringLiteral("x"));
                QTest::keyClick(focus, Qt::Key_Space);
                QTest::keyClick(focus, Qt::Key_Return);
            }
        }
    }
    QTest::qWait(250); // animated clicks land after a pause
}

QList<QVariantList> TestPageAccess::everything(AppFixture &f) {
    QList<QVariantList> out = f.rows(QStringLiteral("select * from customer order by cus_id"));
    out += f.rows(QStringLiteral("select * from menu order by men_id"));
    out += f.rows(QStringLiteral("select * from ordern order by ord_id"));
    return out;
}

void TestPageAccess::controlsOfHiddenPagesDoNothing() {
    AppFixture f;
    f.addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), 0);
    f.addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    TForm1 &w = f.openForm();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QList<QVariantList> stored = everything(f);

    // Signed out: the working pages' buttons (an order, a menu item, the accounts' navigator)
    // and the application page stay out of reach.
    actOnHiddenPages(f);
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QCOMPARE(everything(f), stored);

    // A level-0 user can neither apply again, bring back the sign-in or application tab (which
    // would shift every tab position of the page-change rule), nor edit the accounts.
    f.signIn(QStringLiteral("amy"), QStringLiteral("pw"));
    actOnHiddenPages(f);
    QCOMPARE(f.visibleTabs(), (QStringList{QStringLiteral("TabSheet3"), QStringLiteral("TabSheet4"),
                                           QStringLiteral("TabSheet5")}));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));
    QCOMPARE(w.userLevel(), 0);
    QCOMPARE(everything(f), stored);
    QVERIFY(f.dialogs().shown().isEmpty());
}

QTEST_MAIN(TestPageAccess)
#include "tst_pageaccess.moc"
