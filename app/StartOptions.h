#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

//! What the command line chooses: the database file and the folder exports are written to.
struct StartOptions {
    //! The database file; `kelvaro.mdb` in the working directory unless --database names one.
    QString databaseFile = QStringLiteral("kelvaro.mdb");
    //! The folder of spreadsheet exports; empty: the program's folder where it can be written,
    //! else the user's documents folder.
    QString exportFolder;

    //! Reads `kelvaro [--database FILE] [--export-dir DIR]`; --help and --version print and
    //! return false with `exitCode` 0, wrong usage prints to standard error and returns false
    //! with `exitCode` 2.
    static bool parse(const QStringList &arguments, StartOptions *options, int *exitCode);
    //! The folder exports go to under these options, for a program in `programFolder`; a
    //! documents folder that does not exist yet is made.
    QString resolvedExportFolder(const QString &programFolder = QCoreApplication::applicationDirPath()) const;
};
