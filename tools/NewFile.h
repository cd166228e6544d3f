#pragma once

#include <QDate>
#include <QString>

//! A file the admin tool makes (a database, a backup, a CSV file): written under a temporary
//! name beside its target, then linked into place, so it appears whole or not at all and never
//! replaces an existing file.
class NewFile {
public:
    //! A name for a new file in `folder`: `base-YYYY-MM-DD.suffix` of `day`, or with "-2", "-3"
    //! and so on before the suffix while that name is taken.
    static QString datedIn(const QString &folder, const QString &base, const QString &suffix,
                           const QDate &day);
    //! The temporary name beside `target`, unique to this process.
    static QString tempBeside(const QString &target);
    //! Moves the finished `temp` to `target` unless that exists; throws DbError.
    static void linkIntoPlace(const QString &temp, const QString &target);
    //! Removes what a failed attempt left at `temp`, a database's journal included.
    static void discard(const QString &temp);
};
