#pragma once

#include <QTabWidget>
#include <functional>

class PageTabBar;

//! A tabbed page control whose tabs can be hidden. The tab position of a page is its place
//! among the visible tabs, counted from 0. Only the user's choice of another tab raises
//! pageChanged(); changes made by the program (showing, hiding, selecting) never do.
//! A page whose tab is hidden, or which the owner's rule refuses, can never be chosen: a
//! change to it by any input goes straight back to the page that was current. A page whose
//! tab is hidden is disabled as a whole, so that no focus, key, click or accessibility action
//! reaches its controls either.
class PageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget *parent = nullptr);

    //! Appends a page with its tab caption; its tab is shown or hidden as `tabVisible` says.
    int addPage(QWidget *page, const QString &caption, bool tabVisible);

    //! Shows or hides the tab of `page`, keeping a current page by these rules: when the
    //! current page's tab is hidden, the page whose tab then stands at the same tab position
    //! becomes current (the last visible one if it was last); when a tab is shown while no
    //! tab is visible, its page becomes current; otherwise the current page stays.
    void setPageTabVisible(QWidget *page, bool visible);
    bool isPageTabVisible(QWidget *page) const;

    //! Makes `page` the current page without raising pageChanged().
    void setActivePage(QWidget *page);
    //! Makes page index `index` the current page without raising pageChanged().
    void setActivePageIndex(int index);

    //! The owner's rule for the user's choice of page index `index`; checked on every entry.
    void setPageAllowed(std::function<bool(int index)> allowed) { m_allowed = std::move(allowed); }

    //! Height of the tabs; 0 leaves it to the style.
    void setTabHeight(int height);

    //! Number of visible tabs.
    int visibleTabCount() const;
    //! Tab position of page index `index`; -1 when its tab is hidden.
    int tabPosition(int index) const;
    //! Tab position of the current page; -1 when no tab is visible.
    int currentTabPosition() const { return tabPosition(currentIndex()); }
    //! Page index of the page at tab position `position`; -1 when there is none.
    int pageAtTabPosition(int position) const;

signals:
    //! The user has chosen another tab (mouse or keyboard).
    void pageChanged();

private:
    //! Runs `change` with pageChanged() held back.
    template <typename Change> void programmatic(Change change);
    void userChanged(int index);

    PageTabBar *m_tabBar;
    bool m_programmatic = false;
    int m_current = -1;
    std::function<bool(int)> m_allowed;
};
