#include "PageTabBar.h"

void PageTabBar::setTabHeight(int height) {
    m_tabHeight = height;
    updateGeometry();
}

QSize PageTabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    if (m_tabHeight > 0) size.setHeight(m_tabHeight);
    return size;
}

QSize PageTabBar::minimumTabSizeHint(int index) const {
    QSize size = QTabBar::minimumTabSizeHint(index);
    if (m_tabHeight > 0) size.setHeight(m_tabHeight);
    return size;
}
