#pragma once

#include <QByteArray>
#include <QString>

//! Writes a file that must not exist yet, all or nothing: the bytes go to a hidden temporary
//! file in the same folder, reach the disk, and only then take the file's name, in one step
//! that never replaces a file of that name. Whatever fails, no part of a file is left behind
//! and an existing file stays as it was.
class NewFile {
public:
    //! Writes `bytes` as the new file `path`. Throws XlsError with the reason: the file
    //! exists, the folder cannot be written, the disk is full, ...
    static void write(const QString &path, const QByteArray &bytes);
    //! Throws XlsError when `path` names an existing file (or any other entry).
    static void refuseExisting(const QString &path);
};
