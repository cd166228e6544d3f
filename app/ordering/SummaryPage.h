#pragma once

#include <QWidget>

class FormData;
class Session;

//! The summary page: the order lines of a day with their total.
class SummaryPage : public QWidget {
    Q_OBJECT
public:
    SummaryPage(FormData &data, const Session &session, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab.
    void enter();

private:
    FormData &m_data;
    const Session &m_session;
};
