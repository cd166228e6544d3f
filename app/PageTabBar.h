#pragma once

#include <QTabBar>

//! The tab row of the page control: tabs of one fixed height, so that the pages below get
//! exactly the room the layout gives them whatever the font's line height.
class PageTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit PageTabBar(QWidget *parent = nullptr)
        : QTabBar(parent) {}

    //! Height of every tab; 0 leaves it to the style.
    void setTabHeight(int height);
    int tabHeight() const { return m_tabHeight; }

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    int m_tabHeight = 0;
};
