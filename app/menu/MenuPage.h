#pragma once

#include <QWidget>

class TForm1;

//! The menu page: the shops' beverage items, newest first, and new items.
class MenuPage : public QWidget {
    Q_OBJECT
public:
    explicit MenuPage(TForm1 &form, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab: the menu list opened if it is not
    //! open (an open list is not read again).
    void enter();

private:
    TForm1 &m_form;
};
