#pragma once

#include <QWidget>

class FormData;
class QLineEdit;

//! The application page: anyone at the sign-in page creates an ordinary account here.
class ApplicationPage : public QWidget {
    Q_OBJECT
public:
    explicit ApplicationPage(FormData &data, QWidget *parent = nullptr);

    //! Stores the typed account with user level 0, says so, and reports applied().
    void BitBtn3Click();
    //! Asks to go back to the sign-in page.
    void Button1Click();

signals:
    //! The account is stored and the user has read so.
    void applied();
    //! "回登入畫面" was pressed.
    void backRequested();

private:
    FormData &m_data;
    QLineEdit *m_account;
    QLineEdit *m_name;
    QLineEdit *m_password;
    QLineEdit *m_group;
};
