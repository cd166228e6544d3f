#pragma once

#include <QString>
#include <QStringList>

//! What `kelvaro-admin check` finds in a database file. A write that a crashed copy left cut
//! short is rolled back first, as the engine does for whichever copy next opens the file for
//! writing; the check itself only reads.
class DatabaseCheck {
public:
    //! Rolls back a write cut short (a journal that no running copy holds) through a read-write
    //! open that never creates the file and writes nothing else. Returns what was done, for the
    //! report; empty when there was nothing to roll back.
    static QString recoverInterruptedWrite(const QString &path);
    //! The problems of the file, opened read-only: integrity check and schema; empty when sound.
    static QStringList problems(const QString &path);
    //! What is worth knowing about a sound file: checks made by an earlier version. Read-only.
    static QStringList notes(const QString &path);
};
