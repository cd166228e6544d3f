#pragma once

#include <QWidget>

class TForm1;

//! The summary page: the order lines of a day with their total.
class SummaryPage : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPage(TForm1 &form, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab.
    void enter();

private:
    TForm1 &m_form;
};
