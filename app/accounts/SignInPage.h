#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class TForm1;

//! The sign-in page: account and password, "登入系統" and "申請帳號", over the page's picture.
class SignInPage : public QWidget {
    Q_OBJECT
public:
    explicit SignInPage(TForm1 &form, QWidget *parent = nullptr);

    //! Signs in the one account matching the typed account and password.
    void BitBtn1Click();
    //! Opens the application page.
    void BitBtn2Click();

    //! A typed text as sign-in compares it: characters of code 32 and below trimmed from both
    //! ends, ASCII capitals made small; every other character unchanged.
    static QString prepared(const QString &typed);

private:
    TForm1 &m_form;
    QLabel *m_image;
    QLineEdit *m_account;
    QLineEdit *m_password;
    QPushButton *m_signIn;
    QPushButton *m_apply;
};
