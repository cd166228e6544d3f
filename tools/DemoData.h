#pragma once

#include <QDate>

class Connection;

//! A small, believable data set for trying the program: drink shops with their menus, a few
//! users, and order lines of today and yesterday.
class DemoData {
public:
    struct User {
        const char *account;
        const char *password;
        const char *name;
        const char *group;
        int level;
    };
    //! The demo users (besides the manager given on the command line).
    static const QList<User> &users();
    //! Fills an open connection's database; `today` dates the order lines.
    static void fill(Connection &connection, const QDate &today);
};
