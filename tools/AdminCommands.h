#pragma once

#include <QStringList>
#include <QTextStream>

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
    //! check [FILE]
    int check(const QStringList &args);
    //! The problems of a database file: integrity check and schema; empty when sound.
    static QStringList problems(const QString &path);

private:
    void usage(QTextStream &to) const;
    void initUsage(QTextStream &to) const;
    void checkUsage(QTextStream &to) const;
    //! Asks on the terminal; false when there is none.
    bool ask(const QString &prompt, QString *answer, bool secret);

    QTextStream &m_out;
    QTextStream &m_err;
};
