#pragma once

#include <QStringList>
#include <QTextStream>

class Connection;

//! The commands of kelvaro-admin. Each returns the process exit code:
//! 0 done, 1 failed (the reason printed), 2 wrong usage.
class AdminCommands {
public:
    AdminCommands(QTextStream &out, QTextStream &err)
        : m_out(out)
        , m_err(err) {}

    //! Dispatches on the first argument (after the program name).
    int run(const QStringList &args);
    //! init [--demo] [--manager ACCOUNT PASSWORD NAME] [FILE]
    int init(const QStringList &args);
    //! Tells what init made: the database, its manager, and the demo accounts.
    void reportInit(const QString &file, const QStringList &manager, bool demo);
    //! check [FILE]
    int check(const QStringList &args);
    //! backup FILE DEST: a consistent copy of a database in use; never overwrites DEST.
    int backup(const QStringList &args);
    //! add-manager FILE ACCOUNT PASSWORD NAME: a new system manager in an existing file.
    int addManager(const QStringList &args);
    //! import-menu FILE CSV: menu items from a CSV file, all or nothing.
    int importMenu(const QStringList &args);
    //! export-menu FILE [CSV]: the menu as CSV, to standard output or a new file.
    int exportMenu(const QStringList &args);
    //! upgrade [FILE]: a backup beside the database, then every schema step to this program's
    //! version in one transaction, then the check.
    int upgrade(const QStringList &args);

private:
    void usage(QTextStream &to) const;
    void initUsage(QTextStream &to) const;
    void checkUsage(QTextStream &to) const;
    //! The usage text of a maintenance command.
    static const char *maintenanceUsage(const QString &command);
    //! Reads a maintenance command's arguments: `count` positional ones (FILE first, which
    //! `--database FILE` may give instead) and up to `optional` more. On --help or wrong usage
    //! prints the usage, sets m_usageCode and returns false.
    bool positional(const QStringList &args, const QString &command, int count, QStringList *values,
                    int optional = 0);
    //! Why a manager's account could never sign in; empty when it can.
    static QString accountRefusal(const QString &account);
    //! Adds a system manager unless sign-in would take the account for an existing one.
    static bool insertManager(Connection &c, const QStringList &manager);
    //! A consistent copy of the open database as the new file `target`, whole or not at all;
    //! throws DbError.
    static void backupInto(Connection &c, const QString &target);
    //! Asks on the terminal; false when there is none.
    bool ask(const QString &prompt, QString *answer, bool secret);

    QTextStream &m_out;
    QTextStream &m_err;
    int m_usageCode = 2;
};
