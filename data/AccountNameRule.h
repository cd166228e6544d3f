#pragma once

struct sqlite3;

//! Account names that sign-in would take for one another (equal as the text collation
//! compares them: letter case, full and half width, trailing spaces) cannot both be stored.
//! Installed on each of our connections as temporary triggers on `customer`, so the rule runs
//! inside every insert and every change of an account name, whoever makes it (the application
//! page, the permission page's posts, kelvaro-admin), atomically with the write. The file's own
//! schema names no collation of ours, so standard tools can still read and write it.
class AccountNameRule {
public:
    //! The engine's message when the rule refuses a write.
    static const char *message();
    //! Creates the triggers on an open connection whose schema is ours; returns the engine's
    //! result code.
    static int install(sqlite3 *handle);
};
