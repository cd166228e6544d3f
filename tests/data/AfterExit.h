#pragma once

#include <QString>

//! Work left for after this process, however it ends (a normal exit, a crash, Ctrl+C, kill -9):
//! a watcher of its own, in a session of its own, waits for the process to be gone and then runs
//! a shell command, such as the removal of the process's temporary folders.
class AfterExit {
public:
    //! Starts the watcher that runs `shellCommand` once this process has ended.
    static void run(const QString &shellCommand);
    //! `path` quoted for the shell.
    static QString quoted(const QString &path);
};
