#pragma once

#include <QWidget>

class Dataset;
class QLineEdit;

//! The application page: anyone at the sign-in page creates an ordinary account here.
class ApplicationPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the scratch query that stores the account.
    struct Data {
        Dataset &inserts;
    };

    explicit ApplicationPage(const Data &data, QWidget *parent = nullptr);

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
    Data m_data;
    QLineEdit *m_account;
    QLineEdit *m_name;
    QLineEdit *m_password;
    QLineEdit *m_group;
};
