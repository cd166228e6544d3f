#pragma once

#include <QWidget>

class Dataset;
class QLabel;
class QLineEdit;
class QPushButton;

//! The sign-in page: account and password, "登入系統" and "申請帳號", over the page's picture.
class SignInPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the scratch query that reads the account.
    struct Data {
        Dataset &reads;
    };

    explicit SignInPage(const Data &data, QWidget *parent = nullptr);

    //! Signs in the one account matching the typed account and password.
    void BitBtn1Click();
    //! Asks for the application page.
    void BitBtn2Click();

protected:
    //! The account edit takes the focus whenever the page comes up: at start, and back from
    //! the application page.
    void showEvent(QShowEvent *event) override;

signals:
    //! Exactly one account matched: its name and user level.
    void signedIn(const QString &name, int level);
    //! "申請帳號" was pressed.
    void applyRequested();

private:
    Data m_data;
    QLabel *m_image;
    QLineEdit *m_account;
    QLineEdit *m_password;
    QPushButton *m_signIn;
    QPushButton *m_apply;
};
