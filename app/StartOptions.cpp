#include "StartOptions.h"

#include "Connection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

bool StartOptions::parse(const QStringList &arguments, StartOptions *options, int *exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kelvaro: the office's shared beverage order of the day."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The shared database file (default: kelvaro.mdb in the working directory), or a "
                       "PostgreSQL database as postgresql://user@host:port/dbname."),
        QStringLiteral("FILE"));
    const QCommandLineOption exportDir(
        QStringLiteral("export-dir"),
        QStringLiteral("The folder spreadsheet exports are written to (default: the program's folder, or the "
                       "documents folder where that cannot be written)."),
        QStringLiteral("DIR"));
    parser.addOption(database);
    parser.addOption(exportDir);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString why =
            parser.errorText().isEmpty()
                ? QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().value(0))
                : parser.errorText();
        fprintf(stderr, "kelvaro: %s\n%s", qPrintable(why), qPrintable(parser.helpText()));
        *exitCode = 2;
        return false;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        const QString text = parser.isSet(help)
                                 ? parser.helpText()
                                 : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                       QCoreApplication::applicationVersion() + QLatin1Char('\n');
        fputs(qPrintable(text), stdout);
        *exitCode = 0;
        return false;
    }
    if (parser.isSet(database)) options->databaseFile = parser.value(database);
    if (parser.isSet(exportDir)) options->exportFolder = parser.value(exportDir);
    // The file is named in full in every message about it, whatever the working directory.
    options->databaseFile = Connection::fullName(options->databaseFile);
    return true;
}

QString StartOptions::resolvedExportFolder(const QString &programFolder) const {
    if (!exportFolder.isEmpty()) return QFileInfo(exportFolder).absoluteFilePath();
    // An installed program lives in a folder users cannot write (/usr/bin).
    if (QFileInfo(programFolder).isWritable()) return programFolder;
    // A new account may have no documents folder yet: made as the desktop would make it.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir().mkpath(documents) ? documents : QDir::homePath();
}
