#pragma once

#include <QWidget>

class FormData;
class Session;

//! The menu page: the shops' beverage items, newest first, and new items.
class MenuPage : public QWidget {
    Q_OBJECT
public:
    MenuPage(FormData &data, const Session &session, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab: the menu list opened if it is not
    //! open (an open list is not read again).
    void enter();

private:
    FormData &m_data;
    const Session &m_session;
};
