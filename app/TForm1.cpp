#include "TForm1.h"

#include "ApplicationPage.h"
#include "CatalogPage.h"
#include "DbErrorLog.h"
#include "Dialogs.h"
#include "FormData.h"
#include "HandlerGuard.h"
#include "Locale.h"
#include "MenuPage.h"
#include "PageControl.h"
#include "PageWidgets.h"
#include "PermissionPage.h"
#include "SignInPage.h"
#include "StatusBar.h"
#include "SummaryPage.h"
#include "UiLog.h"

#include <QIcon>
#include <QMenuBar>

static void initResources() {
    Q_INIT_RESOURCE(kelvaro_app);
}

namespace {
constexpr int ClientWidth = 632;
constexpr int ClientHeight = 453;
constexpr int StatusHeight = 25;
constexpr int TabHeight = 26;
constexpr int Panel0Width = 120;
constexpr int Panel1DesignWidth = 250;
} // namespace

TForm1::TForm1(const StartOptions &options, QWidget *parent)
    : QMainWindow(parent) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    m_data = new FormData(this);
    m_data->ADOConnection1->setDatabaseFile(options.databaseFile);
    m_data->ADOConnection1->setLocaleFormats(Locale::current().formats());
    buildWindow();
    buildPages(options);

    // Loading the form connects and opens the datasets open from the start; what fails is
    // reported and loading goes on.
    m_databaseUsable = m_data->load([](const QString &message) { Dialogs::current().error(message); });
    if (m_databaseUsable) FormCreate();
}

TForm1::~TForm1() {
    // The pages and their bound controls go before the data components they are bound to.
    delete m_pageControl;
    m_pageControl = nullptr;
}

QFont TForm1::uiFont(int pixelSize) {
    return PageWidgets::uiFont(pixelSize);
}

void TForm1::buildWindow() {
    setWindowTitle(QStringLiteral("Kelvaro V1.0.6"));
    setWindowIcon(QIcon(QStringLiteral(":/app/kelvaro.png")));
    // Single border with the system menu and minimise only: no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    move(218, 104);
    setFont(uiFont(PageWidgets::WindowTextPixels));
    setBackgroundRole(QPalette::Button);

    // The main menu holds no items, so it takes no room.
    m_mainMenu = new QMenuBar(this);
    m_mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(m_mainMenu);
    m_mainMenu->hide();

    m_pageControl = new PageControl(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setFixedSize(ClientWidth, ClientHeight - StatusHeight);
    // The tab row and the pane's frame leave each page its 624 x 400.
    m_pageControl->setTabHeight(TabHeight);
    setCentralWidget(m_pageControl);

    m_statusBar = new StatusBar({Panel0Width, Panel1DesignWidth}, this);
    m_statusBar->setObjectName(QStringLiteral("SB1"));
    m_statusBar->setFixedHeight(StatusHeight);
    setStatusBar(m_statusBar);

    connect(m_pageControl, &PageControl::pageChanged, this,
            HandlerGuard::wrap([this] { PageControl1Change(); }));
}

void TForm1::buildPages(const StartOptions &options) {
    // Each page gets the data components it uses and nothing else.
    FormData &d = *m_data;
    m_signIn = new SignInPage({*d.ADOQuery_GET});
    m_application = new ApplicationPage({*d.ADOQuery_SET});
    m_catalog = new CatalogPage(
        {*d.ADOQuery1, *d.DataSource2, *d.ADOQuery2, *d.DataSource3, *d.ADOQuery_GET, *d.ADOQuery_SET},
        m_session);
    m_summary = new SummaryPage({*d.ADODataSet2, *d.DataSource4, *d.ADOQuery_GET, *d.ADOConnection1},
                                m_session, options.resolvedExportFolder());
    m_menu = new MenuPage({*d.ADODataSet1, *d.DataSource1, *d.ADOQuery_SET}, m_session);
    m_permission = new PermissionPage({*d.DataSource5});
    const struct {
        QWidget *page;
        const char *caption;
    } pages[] = {{m_signIn, "登入畫面"},  {m_application, "申請帳號"}, {m_catalog, "飲料目錄"},
                 {m_summary, "訂單總結"}, {m_menu, "新增飲料目錄"},    {m_permission, "權限管理"}};
    int index = 0;
    for (const auto &p : pages) {
        p.page->setObjectName(QStringLiteral("TabSheet%1").arg(index + 1));
        const QString caption = QString::fromUtf8(p.caption);
        p.page->setAccessibleName(caption);
        m_pageControl->addPage(p.page, caption, index == SignIn);
        ++index;
    }
    m_pageControl->setActivePageIndex(SignIn);

    // The page-change rule dispatches on the chosen tab's position among the visible tabs, not
    // on the page: once signed in, the catalog, summary and menu pages stand at positions 0 to 2
    // and the permission page, which has no entry work, at 3. A tab added after them takes a
    // later position, so what these positions do stays as it is.
    m_tabPositionWork = {[this] { m_catalog->enter(); }, [this] { m_summary->enter(); },
                         [this] { m_menu->enter(); }};
    wirePages();
    m_pageControl->setPageAllowed([this](int index) { return pageAllowed(index); });
}

void TForm1::wirePages() {
    // Direct connections: the window's part runs inside the page's handler, in its order.
    connect(m_signIn, &SignInPage::signedIn, this, &TForm1::signedIn, Qt::DirectConnection);
    connect(m_signIn, &SignInPage::applyRequested, this, &TForm1::showApplicationPage, Qt::DirectConnection);
    connect(m_application, &ApplicationPage::applied, this, &TForm1::showSignInPage, Qt::DirectConnection);
    connect(m_application, &ApplicationPage::backRequested, this, &TForm1::showSignInPage,
            Qt::DirectConnection);
    connect(m_catalog, &CatalogPage::orderStored, this, &TForm1::showOrderStored, Qt::DirectConnection);
    connect(m_menu, &MenuPage::menuItemAdded, this, &TForm1::showMenuItemAdded, Qt::DirectConnection);
}

void TForm1::signedIn(const QString &name, int level) {
    // There is no second sign-in: the first user keeps the window with their rights.
    if (m_session.isSignedIn()) {
        qCDebug(kelvaroUi) << "a second sign-in ignored";
        return;
    }
    m_session.signIn(name, level);
    m_statusBar->setPanelText(0, QStringLiteral("使用者：") + name);
    setTabShown(SignIn, false);
    setTabShown(Catalog, true);
    setTabShown(Summary, true);
    setTabShown(Menu, true);
    if (level == 3) setTabShown(Permission, true);
    m_catalog->clearShopList();
    m_catalog->Get_CB1_Text();
}

bool TForm1::pageAllowed(int index) const {
    switch (index) {
    case SignIn:
    case Application:
        return !m_session.isSignedIn();
    case Permission:
        return m_session.isSignedIn() && m_session.userLevel() == 3;
    default:
        return m_session.isSignedIn();
    }
}

void TForm1::showApplicationPage() {
    // The sign-in and application pages belong to the signed-out state only.
    if (m_session.isSignedIn()) return;
    setTabShown(Application, true);
    setTabShown(SignIn, false);
}

void TForm1::showSignInPage() {
    if (m_session.isSignedIn()) return;
    setTabShown(SignIn, true);
    setTabShown(Application, false);
}

void TForm1::showOrderStored() {
    // Set again for every line stored; it stays until another handler writes the panel.
    m_statusBar->setPanelText(1, QStringLiteral("訂單輸入完成"));
}

void TForm1::showMenuItemAdded() {
    m_statusBar->setPanelText(1, QStringLiteral("新增飲料項目成功"));
}

void TForm1::FormCreate() {
    // Any failure ends this handler at once, silently.
    try {
        FormData &d = *m_data;
        if (!d.ADOConnection1->isOpen()) d.ADOConnection1->open();
        if (d.ADOConnection1->isOpen()) {
            d.ADOQuery_GET->setConnection(d.ADOConnection1);
            d.ADOQuery_SET->setConnection(d.ADOConnection1);
        }
        m_pageControl->setActivePageIndex(SignIn);
    } catch (const std::exception &e) {
        DbErrorLog::write(kelvaroUi(), "start-up ended early", e);
    }
}

QWidget *TForm1::tabSheet(int index) const {
    return m_pageControl->widget(index);
}

void TForm1::setTabShown(int index, bool shown) {
    m_pageControl->setPageTabVisible(tabSheet(index), shown);
}

void TForm1::PageControl1Change() {
    const int position = m_pageControl->currentTabPosition();
    if (position >= 0 && position < int(m_tabPositionWork.size())) m_tabPositionWork[size_t(position)]();
}
