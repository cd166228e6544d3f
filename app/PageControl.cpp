#include "PageControl.h"

#include "PageTabBar.h"

PageControl::PageControl(QWidget *parent)
    : QTabWidget(parent)
    , m_tabBar(new PageTabBar(this)) {
    setTabBar(m_tabBar);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_programmatic)
            m_current = index;
        else
            userChanged(index);
    });
}

void PageControl::userChanged(int index) {
    // Qt's own inputs skip disabled tabs, so hidden tabs are disabled too; whatever input
    // gets past that (an accessibility action, a later one) is undone here.
    if (!isTabVisible(index) || (m_allowed && !m_allowed(index))) {
        programmatic([&] { setCurrentIndex(m_current); });
        return;
    }
    m_current = index;
    emit pageChanged();
}

template <typename Change> void PageControl::programmatic(Change change) {
    const bool outer = m_programmatic;
    m_programmatic = true;
    change();
    m_programmatic = outer;
}

int PageControl::addPage(QWidget *page, const QString &caption, bool tabVisible) {
    int index = -1;
    programmatic([&] {
        index = addTab(page, caption);
        setTabVisible(index, tabVisible);
        setTabEnabled(index, tabVisible);
    });
    return index;
}

bool PageControl::isPageTabVisible(QWidget *page) const {
    const int index = indexOf(page);
    return index >= 0 && isTabVisible(index);
}

int PageControl::visibleTabCount() const {
    int n = 0;
    for (int i = 0; i < count(); ++i)
        n += isTabVisible(i) ? 1 : 0;
    return n;
}

int PageControl::tabPosition(int index) const {
    if (index < 0 || index >= count() || !isTabVisible(index)) return -1;
    int position = 0;
    for (int i = 0; i < index; ++i)
        position += isTabVisible(i) ? 1 : 0;
    return position;
}

int PageControl::pageAtTabPosition(int position) const {
    if (position < 0) return -1;
    for (int i = 0; i < count(); ++i) {
        if (isTabVisible(i) && position-- == 0) return i;
    }
    return -1;
}

void PageControl::setPageTabVisible(QWidget *page, bool visible) {
    const int index = indexOf(page);
    if (index < 0 || isTabVisible(index) == visible) return;
    programmatic([&] {
        if (visible) {
            const bool noneVisible = visibleTabCount() == 0;
            setTabEnabled(index, true);
            setTabVisible(index, true);
            if (noneVisible) setCurrentIndex(index);
            return;
        }
        const bool wasCurrent = index == currentIndex();
        const int position = tabPosition(index);
        setTabVisible(index, false);
        setTabEnabled(index, false);
        if (!wasCurrent) return;
        const int remaining = visibleTabCount();
        if (remaining > 0)
            setCurrentIndex(pageAtTabPosition(qMin(position, remaining - 1)));
        else
            setCurrentIndex(index); // no tab left: the page stays current, unseen
    });
}

void PageControl::setActivePage(QWidget *page) {
    setActivePageIndex(indexOf(page));
}

void PageControl::setActivePageIndex(int index) {
    if (index < 0 || index >= count()) return;
    programmatic([&] { setCurrentIndex(index); });
}

void PageControl::setTabHeight(int height) {
    m_tabBar->setTabHeight(height);
}
