#pragma once

#include <QString>

//! Who is signed in: the signed-in user name and the user level. Empty and 0 until sign-in,
//! then fixed until the program ends.
class Session {
public:
    //! The signed-in user name; empty until sign-in.
    QString userName() const { return m_userName; }
    //! The user level; 0 until sign-in.
    int userLevel() const { return m_userLevel; }
    //! Has anyone signed in?
    bool isSignedIn() const { return m_signedIn; }
    //! Records who has signed in; the window calls it for sign-in only.
    void signIn(const QString &name, int level);

private:
    QString m_userName;
    int m_userLevel = 0;
    bool m_signedIn = false;
};
