#include "PostgresDump.h"

#include "DbError.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

void PostgresDump::write(const QString &url, const QString &path) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    if (program.isEmpty())
        throw DbError(
            QStringLiteral("pg_dump was not found: a server database is backed up with PostgreSQL's "
                           "pg_dump; install it (Debian package postgresql-client)."));
    QProcess dump;
    dump.setStandardInputFile(QProcess::nullDevice());
    dump.setStandardOutputFile(QProcess::nullDevice());
    // Never a password prompt: like the program itself it takes the password from the URL,
    // ~/.pgpass or PGPASSWORD.
    dump.start(program, {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                         QStringLiteral("--file=") + path, QStringLiteral("--dbname=") + url});
    // A large database takes as long as it takes: no time limit.
    const bool finished = dump.waitForFinished(-1);
    const QString why = QString::fromLocal8Bit(dump.readAllStandardError())
                            .trimmed()
                            .replace(QLatin1Char('\n'), QStringLiteral("; "));
    if (!finished || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0) {
        QFile::remove(path);
        throw DbError(QStringLiteral("pg_dump failed: %1").arg(why.isEmpty() ? dump.errorString() : why));
    }
}
