#pragma once

#include <QString>

struct ColumnInfo;
struct sqlite3;

//! Account names are stored as sign-in compares them. Names that sign-in would take for one
//! another (equal as the text collation compares them: letter case, full and half width,
//! trailing spaces) cannot both be stored: installed on each of our connections as temporary
//! triggers on `customer`, so the rule runs inside every insert and every change of an account
//! name, whoever makes it (the application page, the permission page's posts, kelvaro-admin),
//! atomically with the write. The file's own schema names no collation of ours, so standard
//! tools can still read and write it. And a name that sign-in could never match, since sign-in
//! trims what is typed, is refused as a value of the account name column.
class AccountNameRule {
public:
    //! The engine's own words when the rule refuses a name sign-in would take for another.
    static const char *message();
    //! The refusal of a name sign-in would take for an existing one, as the engines raise it:
    //! the reason in the user's words, then the engine's own words.
    static QString takenMessage();
    //! The reason of that refusal in the user's words.
    static QString takenReason();

    //! Is `column` the account name that sign-in looks up?
    static bool governs(const ColumnInfo &column);
    //! Could sign-in ever match `name` as stored? Not when it starts with a character that
    //! sign-in trims from what is typed (code 32 and below: spaces, control characters), nor
    //! when it ends with one other than the trailing spaces that text equality ignores.
    static bool signInCanMatch(const QString &name);
    //! The refusal of a name sign-in could never match, in the user's words.
    static QString untrimmedMessage();

    //! Creates the triggers on an open connection whose schema is ours; returns the engine's
    //! result code.
    static int install(sqlite3 *handle);
};
