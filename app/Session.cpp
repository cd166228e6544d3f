#include "Session.h"

void Session::signIn(const QString &name, int level) {
    m_userName = name;
    m_userLevel = level;
    m_signedIn = true;
}
