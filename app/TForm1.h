#pragma once

#include "Session.h"
#include "StartOptions.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <vector>

class ApplicationPage;
class CatalogPage;
class FormData;
class MenuPage;
class PageControl;
class PermissionPage;
class QMenuBar;
class SignInPage;
class StatusBar;
class SummaryPage;

//! The program's one window: a fixed-size window with six pages, the status bar, the data
//! components and the signed-in user. It owns every component, gives each page what it needs
//! when building it, and does the window's part of what the pages report.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    //! Page indices of the pages, in page-index order.
    enum PageIndex { SignIn = 0, Application, Catalog, Summary, Menu, Permission, PageCount };

    //! Builds the window, connects to the database and opens the datasets open from the
    //! start (each failing step reported in the standard error box), then runs FormCreate.
    explicit TForm1(const StartOptions &options = StartOptions(), QWidget *parent = nullptr);
    ~TForm1() override;

    //! False when the database cannot serve this program at all (it records another schema
    //! version): the start reported it, opened nothing else, and the program ends.
    bool databaseUsable() const { return m_databaseUsable; }

    //! The connection, the datasets and their data sources.
    FormData &data() const { return *m_data; }

    //! The signed-in user name; empty until sign-in.
    QString userName() const { return m_session.userName(); }
    //! The user level; 0 until sign-in.
    int userLevel() const { return m_session.userLevel(); }

    //! `PageControl1`.
    PageControl *pageControl() const { return m_pageControl; }
    //! `SB1`.
    StatusBar *statusPanels() const { return m_statusBar; }
    //! The page `TabSheet<index + 1>`.
    QWidget *tabSheet(int index) const;
    //! Shows or hides the tab of page `index` by the page control's current-page rules.
    void setTabShown(int index, bool shown);

    //! The page work for the tab the user has chosen, dispatched on its tab position.
    void PageControl1Change();

    //! The window's Traditional Chinese font at a pixel size (96 dpi pixels).
    static QFont uiFont(int pixelSize);

private:
    void buildWindow();
    void buildPages(const StartOptions &options);
    void wirePages();
    void FormCreate();
    void signedIn(const QString &name, int level);
    bool pageAllowed(int index) const;
    void showSignInPage();
    void showApplicationPage();
    void showOrderStored();
    void showMenuItemAdded();

    FormData *m_data = nullptr;
    QMenuBar *m_mainMenu = nullptr;
    PageControl *m_pageControl = nullptr;
    StatusBar *m_statusBar = nullptr;
    SignInPage *m_signIn = nullptr;
    ApplicationPage *m_application = nullptr;
    CatalogPage *m_catalog = nullptr;
    SummaryPage *m_summary = nullptr;
    MenuPage *m_menu = nullptr;
    PermissionPage *m_permission = nullptr;
    Session m_session;
    bool m_databaseUsable = true;
    //! The page-change rule: the work of each tab position, from 0; positions past the end
    //! have none.
    std::vector<std::function<void()>> m_tabPositionWork;
};
