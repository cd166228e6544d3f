// The main window: its frame, its pages and tabs, the page-change rule, start-up with good and
// bad database files, the handler guard and the sign-in picture.
#include "AppFixture.h"

#include "Dataset.h"
#include "FormData.h"
#include "PageControl.h"
#include "Schema.h"
#include "StatusBar.h"
#include "TForm1.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void windowFrame();
    void pagesAndStatusBar();
    void exactlyOneTabAtStart();
    void currentPageRule();
    void applyAndBackMovesTheCurrentPage();
    void programmaticChangesRunNoPageChange();
    void pageChangeDispatchesOnTabPosition();
    void handlerErrorReachesErrorBoxAndProgramGoesOn();
    void startWithMissingDatabase();
    void startWithFileThatIsNotADatabase();
    void startWithGoodDatabase();
    void startWithDatabaseOfAnotherVersion();
    void signInPictureClippedByPage();
    void layoutScalesWithDevicePixelRatio();
};

void TestMainWindow::windowFrame() {
    AppFixture f;
    TForm1 &w = f.openForm();
    QCOMPARE(w.windowTitle(), QStringLiteral("Kelvaro V1.0.6"));
    QCOMPARE(w.size(), QSize(632, 453));
    QCOMPARE(w.minimumSize(), QSize(632, 453));
    QCOMPARE(w.maximumSize(), QSize(632, 453));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(w.windowFlags() & Qt::WindowSystemMenuHint);
    QCOMPARE(w.pos(), QPoint(218, 104));
    QVERIFY(!w.windowIcon().isNull());

    // The main menu exists and holds nothing.
    auto *menu = f.find<QMenuBar>(QStringLiteral("MainMenu1"));
    QVERIFY(menu);
    QVERIFY(menu->actions().isEmpty());

    // Traditional Chinese text is drawn with the installed CJK font.
    auto *label = f.find<QLabel>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Noto Sans CJK TC"));
    QCOMPARE(label->font().pixelSize(), 13);
    QCOMPARE(QFontInfo(w.font()).family(), QStringLiteral("Noto Sans CJK TC"));
    QCOMPARE(w.font().pixelSize(), 11);

    // Every control a user works with is named for assistive tools.
    for (QWidget *control : w.findChildren<QWidget *>()) {
        // Qt's own parts of menu and tab bars carry their own names.
        if (control->objectName().startsWith(QLatin1String("qt_")) ||
            qobject_cast<QTabBar *>(control->parentWidget()))
            continue;
        if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QComboBox *>(control) ||
            (qobject_cast<QLineEdit *>(control) && !qobject_cast<QComboBox *>(control->parentWidget())))
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
}

void TestMainWindow::pagesAndStatusBar() {
    AppFixture f;
    TForm1 &w = f.openForm();
    PageControl *pages = f.find<PageControl>(QStringLiteral("PageControl1"));
    QVERIFY(pages);
    QCOMPARE(pages->geometry(), QRect(0, 0, 632, 428));
    const QStringList captions = {QStringLiteral("登入畫面"),     QStringLiteral("申請帳號"),
                                  QStringLiteral("飲料目錄"),     QStringLiteral("訂單總結"),
                                  QStringLiteral("新增飲料目錄"), QStringLiteral("權限管理")};
    QCOMPARE(pages->count(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(pages->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
        QCOMPARE(pages->tabText(i), captions.at(i));
        QCOMPARE(pages->widget(i)->size(), QSize(624, 400));
    }
    // The current page is shown whole, not cut off by the page control's frame.
    QWidget *page = pages->currentWidget();
    QCOMPARE(page->visibleRegion().boundingRect(), QRect(0, 0, 624, 400));
    QVERIFY(page->parentWidget()->geometry().height() >= 400);

    StatusBar *bar = f.find<StatusBar>(QStringLiteral("SB1"));
    QVERIFY(bar);
    QCOMPARE(bar->geometry(), QRect(0, 428, 632, 25));
    QCOMPARE(bar->panelCount(), 2);
    QCOMPARE(bar->panel(0)->width(), 120);
    // The last panel takes the rest of the bar, whatever its designed width.
    QVERIFY(bar->panel(1)->geometry().left() >= bar->panel(0)->geometry().right());
    QVERIFY(bar->panel(1)->geometry().right() >= 632 - 8);
    QVERIFY(bar->panelText(0).isEmpty());
    QVERIFY(bar->panelText(1).isEmpty());
    QCOMPARE(w.statusPanels(), bar);
}

void TestMainWindow::exactlyOneTabAtStart() {
    AppFixture f;
    f.openForm();
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QVERIFY(f.form().tabSheet(TForm1::SignIn)->isVisible());
    QVERIFY(f.form().userName().isEmpty());
    QCOMPARE(f.form().userLevel(), 0);
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestMainWindow::currentPageRule() {
    AppFixture f;
    TForm1 &w = f.openForm();
    PageControl *pages = w.pageControl();
    auto show = [&](int index, bool on) { w.setTabShown(index, on); };

    // A tab shown while another page is current leaves the current page.
    show(TForm1::Summary, true);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));

    // Hiding the current tab makes the page at the same tab position current.
    show(TForm1::Catalog, true);
    show(TForm1::Menu, true);
    pages->setActivePageIndex(TForm1::Summary); // tabs: 1, 3, 4*, 5
    show(TForm1::Summary, false);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet5"));

    // ... and the last visible one when the hidden tab was last.
    show(TForm1::Menu, false); // tabs: 1, 3*
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));

    // Hiding a tab that is not current changes nothing.
    show(TForm1::SignIn, false); // tabs: 3*
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));

    // With no tab visible, the first tab shown becomes current; the next ones do not.
    show(TForm1::Catalog, false);
    QCOMPARE(pages->visibleTabCount(), 0);
    show(TForm1::Permission, true);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet6"));
    show(TForm1::Application, true);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet6"));
    QCOMPARE(pages->currentTabPosition(), 1);
    QVERIFY(pages->currentWidget()->isVisible());
}

void TestMainWindow::applyAndBackMovesTheCurrentPage() {
    AppFixture f;
    f.openForm();
    f.click(QStringLiteral("BitBtn2"));
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet2")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet2"));
    QVERIFY(f.form().tabSheet(TForm1::Application)->isVisible());
    f.click(QStringLiteral("Button1"));
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QVERIFY(f.form().tabSheet(TForm1::SignIn)->isVisible());
}

void TestMainWindow::programmaticChangesRunNoPageChange() {
    AppFixture f;
    f.addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    TForm1 &w = f.openForm();
    QSignalSpy changes(w.pageControl(), &PageControl::pageChanged);
    f.click(QStringLiteral("BitBtn2"));
    f.click(QStringLiteral("Button1"));
    f.signIn(QStringLiteral("boss"), QStringLiteral("pw"));
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));
    w.pageControl()->setActivePageIndex(TForm1::Menu);
    QCOMPARE(changes.count(), 0);

    // The user's choice of a tab does run it, once per change.
    f.clickTab(0);
    QCOMPARE(changes.count(), 1);
    f.clickTab(0); // already current: no change
    QCOMPARE(changes.count(), 1);
    QTest::keyClick(w.pageControl()->tabBar(), Qt::Key_Right);
    QCOMPARE(changes.count(), 2);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet4"));
}

void TestMainWindow::pageChangeDispatchesOnTabPosition() {
    AppFixture f;
    f.addCustomer(QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), 3);
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("boss"), QStringLiteral("pw"));
    auto *shops = f.find<QComboBox>(QStringLiteral("CB1"));
    Dataset *menu = w.data().ADODataSet1;

    // Position 2 is the menu page (page index 4): it opens the menu list if it is closed,
    // and leaves an open one as it is.
    menu->close();
    f.addMenu(QStringLiteral("50嵐"), QStringLiteral("茶"), QStringLiteral("四季春"));
    f.clickTab(2);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet5"));
    QVERIFY(menu->isActive());
    QCOMPARE(menu->recordCount(), 2);
    f.addMenu(QStringLiteral("清心"), QStringLiteral("茶"), QStringLiteral("烏龍"));
    f.clickTab(3);
    f.clickTab(2);
    QCOMPARE(menu->recordCount(), 2);

    // Position 3 (the permission page) does nothing: the shop box keeps its list.
    shops->addItem(QStringLiteral("marker"));
    f.clickTab(3);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet6"));
    QCOMPARE(shops->findText(QStringLiteral("marker")), shops->count() - 1);

    // Position 0 (the catalog page, page index 2) reads the shop list again, no shop chosen.
    shops->setEditText(QStringLiteral("typed"));
    f.clickTab(0);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet3"));
    QCOMPARE(shops->count(), 3);
    QCOMPARE(shops->findText(QStringLiteral("marker")), -1);
    QCOMPARE(shops->currentIndex(), -1);
    QVERIFY(shops->currentText().isEmpty());
    QVERIFY(f.dialogs().shown().isEmpty());
}

void TestMainWindow::handlerErrorReachesErrorBoxAndProgramGoesOn() {
    AppFixture f;
    f.addCustomer(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("用戶"), 1);
    TForm1 &w = f.openForm();
    f.signIn(QStringLiteral("u"), QStringLiteral("p"));
    QCOMPARE(f.visibleTabs().size(), 3);

    // Opening the menu list fails on the menu tab; nothing there catches it.
    w.data().ADODataSet1->close();
    f.exec(QStringLiteral("alter table menu rename to menu_gone"));
    f.clickTab(2);
    QCOMPARE(f.dialogs().shown().size(), 1);
    QCOMPARE(f.dialogs().shown().at(0).kind, ScriptedDialogs::Kind::Error);
    QVERIFY2(f.dialogs().shown().at(0).text.contains(QStringLiteral("menu")),
             qPrintable(f.dialogs().shown().at(0).text));
    QVERIFY(!w.data().ADODataSet1->isActive());
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet5"));

    // The program goes on: the next choices of tabs work.
    f.exec(QStringLiteral("alter table menu_gone rename to menu"));
    f.clickTab(1);
    f.clickTab(2);
    QVERIFY(w.data().ADODataSet1->isActive());
    QCOMPARE(f.dialogs().shown().size(), 1);
}

void TestMainWindow::startWithMissingDatabase() {
    AppFixture f(false);
    TForm1 &w = f.openForm();
    // Connecting, opening the menu list and opening the accounts each report their failure.
    QCOMPARE(f.dialogs().shown().size(), 3);
    for (const ScriptedDialogs::Shown &s : f.dialogs().shown()) {
        QCOMPARE(s.kind, ScriptedDialogs::Kind::Error);
        QVERIFY(!s.text.isEmpty());
    }
    QVERIFY(f.dialogs().shown().at(0).text.contains(QStringLiteral("kelvaro.mdb")));
    QVERIFY(!w.data().ADOConnection1->isOpen());
    QVERIFY(!w.data().ADODataSet1->isActive());
    QCOMPARE(f.visibleTabs(), QStringList{QStringLiteral("TabSheet1")});
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
    QVERIFY(!QFile::exists(f.databasePath()));

    // Signing in then fails silently and still creates nothing.
    f.signIn(QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(f.dialogs().shown().size(), 3);
    QVERIFY(w.userName().isEmpty());
    QVERIFY(!QFile::exists(f.databasePath()));
    QCOMPARE(QDir(f.dir()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A file chosen on the command line is named in full when it is missing, and not made.
    StartOptions options;
    int exitCode = -1;
    QVERIFY(StartOptions::parse(
        {QStringLiteral("kelvaro"), QStringLiteral("--database"), QStringLiteral("share/office.mdb")},
        &options, &exitCode));
    const QString chosen = QDir(f.dir()).absoluteFilePath(QStringLiteral("share/office.mdb"));
    QCOMPARE(options.databaseFile, chosen);
    f.dialogs().clear();
    f.openForm(options);
    QVERIFY2(f.dialogs().texts().value(0).contains(chosen), qPrintable(f.dialogs().texts().value(0)));
    QVERIFY(!QFile::exists(chosen));
    QVERIFY(
        !StartOptions::parse({QStringLiteral("kelvaro"), QStringLiteral("--datab")}, &options, &exitCode));
    QCOMPARE(exitCode, 2);

    // Exports go to the program's folder where it can be written, else (an installed copy) to
    // the documents folder, made for an account that has none yet.
    const QString home = QDir(f.dir()).filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    const StartOptions plain;
    QCOMPARE(plain.resolvedExportFolder(f.dir()), f.dir());
    const QString documents = plain.resolvedExportFolder(f.dir() + QStringLiteral("/unwritable"));
    qputenv("HOME", savedHome);
    savedConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", savedConfig);
    QCOMPARE(documents, home + QStringLiteral("/Documents"));
    QVERIFY(QFileInfo(documents).isDir());
}

void TestMainWindow::startWithFileThatIsNotADatabase() {
    AppFixture f(false);
    const QByteArray junk = QByteArray("This is a letter, not a database.\n").repeated(200);
    {
        QFile file(f.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(junk);
    }
    TForm1 &w = f.openForm();
    QCOMPARE(f.dialogs().shown().size(), 3);
    QCOMPARE(f.dialogs().shown().at(0).kind, ScriptedDialogs::Kind::Error);
    QVERIFY(!w.data().ADOConnection1->isOpen());
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));

    f.click(QStringLiteral("BitBtn2"));
    f.click(QStringLiteral("BitBtn3"));
    QCOMPARE(f.dialogs().texts().last(), QStringLiteral("錯誤請找管理人"));
    QFile file(f.databasePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), junk);
    QCOMPARE(QDir(f.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kelvaro.mdb")});
}

void TestMainWindow::startWithDatabaseOfAnotherVersion() {
    // A file of release 1.0.6 (schema version 1), then the same file as a newer release would
    // leave it: one box each, naming the file and what to do; nothing else opened or written.
    for (const bool newer : {false, true}) {
        AppFixture f(false);
        QVERIFY(QFile::copy(QStringLiteral(KELVARO_FIXTURES "/release-1.0.6.mdb"), f.databasePath()));
        QVERIFY(QFile::setPermissions(f.databasePath(), QFile::ReadOwner | QFile::WriteOwner));
        if (newer) f.exec(QStringLiteral("PRAGMA user_version = %1").arg(Schema::CurrentVersion + 1));
        const QByteArray before = [&] {
            QFile file(f.databasePath());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        TForm1 &w = f.openForm();
        QCOMPARE(f.dialogs().shown().size(), 1);
        const QString text = f.dialogs().shown().first().text;
        QVERIFY2(text.contains(f.databasePath()), qPrintable(text));
        QVERIFY2(newer ? text.contains(QStringLiteral("請安裝新版的 Kelvaro"))
                       : text.contains(QStringLiteral("kelvaro-admin upgrade ") + f.databasePath()),
                 qPrintable(text));
        QVERIFY(!w.databaseUsable());
        QVERIFY(!w.data().ADOConnection1->isOpen());
        QVERIFY(!w.data().ADODataSet1->isActive() && !w.data().ADODataSet3->isActive());
        QFile file(f.databasePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(f.dir()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("kelvaro.mdb")});
    }
}

void TestMainWindow::startWithGoodDatabase() {
    AppFixture f;
    f.addMenu(QStringLiteral("CoCo"), QStringLiteral("奶茶"), QStringLiteral("珍奶"));
    f.addCustomer(QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("用戶"));
    TForm1 &w = f.openForm();
    QVERIFY(f.dialogs().shown().isEmpty());
    FormData &d = w.data();
    QVERIFY(d.ADOConnection1->isOpen());
    QVERIFY(d.ADODataSet1->isActive());
    QCOMPARE(d.ADODataSet1->recordCount(), 1);
    QVERIFY(d.ADODataSet3->isActive());
    QCOMPARE(d.ADODataSet3->recordCount(), 1);
    for (Dataset *closed : {d.ADODataSet2, d.ADOQuery1, d.ADOQuery2, d.ADOQuery_GET, d.ADOQuery_SET})
        QVERIFY2(!closed->isActive(), qPrintable(closed->name()));
    QCOMPARE(d.ADOQuery_GET->connection(), d.ADOConnection1);
    QCOMPARE(d.ADOQuery_SET->connection(), d.ADOConnection1);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet1"));
}

void TestMainWindow::signInPictureClippedByPage() {
    AppFixture f;
    TForm1 &w = f.openForm();
    QWidget *page = w.tabSheet(TForm1::SignIn);
    auto *image = f.find<QLabel>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(0, 0, 650, 440));

    const QImage picture(QStringLiteral(":/app/signin.jpg"));
    QCOMPARE(picture.size(), QSize(650, 440));
    const QImage shot = page->grab().toImage();

    const qreal ratio = shot.devicePixelRatio();
    QCOMPARE(shot.size(), (QSizeF(624, 400) * ratio).toSize());
    // Away from the controls the page shows the picture pixel for pixel from its top-left
    // corner, neither scaled nor centred. On a denser screen each picture pixel covers several
    // screen pixels, smoothed into its neighbours.
    auto shows = [&](QPoint p) {
        const QRgb shown = shot.pixel((QPointF(p) * ratio).toPoint());
        if (ratio == 1.0) return shown == picture.pixel(p);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QRgb source = picture.pixel(qBound(0, p.x() + dx, 649), qBound(0, p.y() + dy, 439));
                if (qAbs(qRed(shown) - qRed(source)) <= 32 && qAbs(qGreen(shown) - qGreen(source)) <= 32 &&
                    qAbs(qBlue(shown) - qBlue(source)) <= 32)
                    return true;
            }
        return false;
    };
    for (const QPoint p : {QPoint(0, 0), QPoint(400, 250), QPoint(10, 390), QPoint(623, 399), QPoint(600, 20),
                           QPoint(340, 300)})
        QVERIFY2(shows(p), qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
    // A picture drawn centred or scaled would differ somewhere along the diagonal.
    for (int i = 0; i < 400; i += 7)
        QVERIFY2(shows(QPoint(600 - i, i)), qPrintable(QStringLiteral("at %1,%2").arg(600 - i).arg(i)));
}

void TestMainWindow::layoutScalesWithDevicePixelRatio() {
    AppFixture f;
    TForm1 &w = f.openForm();
    // Positions stay in 96 dpi pixels; the screen's ratio scales what is drawn.
    const qreal ratio = w.devicePixelRatioF();
    QCOMPARE(w.size(), QSize(632, 453));
    QCOMPARE(f.find<QWidget>(QStringLiteral("Edit1"))->geometry(), QRect(136, 64, 121, 21));
    const QImage shot = w.tabSheet(TForm1::SignIn)->grab().toImage();
    QCOMPARE(shot.size(), (QSizeF(624, 400) * ratio).toSize());
    if (qEnvironmentVariableIsSet("KELVARO_EXPECT_RATIO"))
        QCOMPARE(ratio, qEnvironmentVariable("KELVARO_EXPECT_RATIO").toDouble());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
