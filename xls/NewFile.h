#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

//! A new file that appears whole or not at all and never replaces an existing one: it is made
//! in a private folder beside its target, reaches the disk, and only then takes the target's
//! name, in one step that refuses a name already taken. Until commit() nothing has the target's
//! name; a NewFile destroyed uncommitted removes all it made. Failures throw FileError.
class NewFile {
public:
    //! Refuses a `target` that exists, then makes the private folder beside it.
    explicit NewFile(const QString &target);
    ~NewFile();
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    //! Where the file is made, for a producer that writes it itself (the engine's copy of a
    //! database); nothing is there yet. What the producer leaves beside it (a journal) goes
    //! with the folder.
    QString path() const { return m_path; }
    //! Writes `bytes` as the file's content.
    void write(const QByteArray &bytes);
    //! Gives the finished file the target's name: the content reaches the disk first, then the
    //! name. Refused when another file took the name meanwhile; that file is left as it is.
    void commit();

    //! Writes `bytes` as the new file `target`, all or nothing.
    static void write(const QString &target, const QByteArray &bytes);
    //! Throws FileError when `target` names an existing file (or any other entry).
    static void refuseExisting(const QString &target);
    //! A name for a new file in `folder`: `base-YYYY-MM-DD.suffix` of `day`, or with "-2", "-3"
    //! and so on before the suffix while that name is taken.
    static QString datedIn(const QString &folder, const QString &base, const QString &suffix,
                           const QDate &day);

private:
    QString m_target; // absolute
    QString m_folder; // the private folder; empty once removed
    QString m_path;
};
