#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class TForm1;

//! The application page: anyone at the sign-in page creates an ordinary account here.
class ApplicationPage : public QWidget {
    Q_OBJECT
public:
    explicit ApplicationPage(TForm1 &form, QWidget *parent = nullptr);

    //! Stores the typed account with user level 0 and returns to the sign-in page.
    void BitBtn3Click();
    //! Returns to the sign-in page.
    void Button1Click();

private:
    TForm1 &m_form;
    QLineEdit *m_account;
    QLineEdit *m_name;
    QLineEdit *m_password;
    QLineEdit *m_group;
};
