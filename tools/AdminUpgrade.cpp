// kelvaro-admin upgrade: brings a database made by an earlier release to this program's schema.
#include "AdminCommands.h"

#include "Connection.h"
#include "DatabaseCheck.h"
#include "DbError.h"
#include "FileError.h"
#include "NewFile.h"
#include "Schema.h"
#include "SchemaUpgrade.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

//! Where the backup before an upgrade goes: beside the file, or for a server database in the
//! working directory; named after the version it holds and the moment, never an existing name.
QString backupBeside(const QString &database, int version) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString base;
    if (Connection::isServer(database)) {
        const QString name = QUrl(database).path().section(QLatin1Char('/'), -1);
        base = QDir::current().filePath(QStringLiteral("%1-v%2-%3")
                                            .arg(name.isEmpty() ? QStringLiteral("kelvaro") : name)
                                            .arg(version)
                                            .arg(stamp));
    } else {
        base = QFileInfo(database).absoluteFilePath() + QStringLiteral(".v%1-%2").arg(version).arg(stamp);
    }
    const QString extension =
        Connection::isServer(database) ? QStringLiteral(".dump") : QStringLiteral(".bak");
    QString candidate = base + extension;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QStringLiteral("-%1").arg(n) + extension;
    return candidate;
}

} // namespace

void AdminCommands::backupInto(Connection &c, const QString &target) {
    try {
        NewFile copy(target);
        c.backupTo(copy.path());
        copy.commit();
    } catch (const FileError &e) {
        throw DbError(e.message());
    }
}

int AdminCommands::upgrade(const QStringList &args) {
    QStringList values;
    if (!positional(args, QStringLiteral("upgrade"), 0, &values, 1)) return m_usageCode;
    const QString file = values.value(0, QStringLiteral("kelvaro.mdb"));
    const QString shown = Connection::shown(file);
    Connection c;
    c.setDatabaseFile(file);
    c.setAnySchemaVersion(true);
    int from = 0;
    try {
        c.open();
        if (c.isReadOnly())
            throw DbError(QStringLiteral("'%1' cannot be written here; nothing was changed.").arg(shown));
        from = c.schemaVersion();
    } catch (const DbError &e) {
        m_err << "kelvaro-admin upgrade: " << e.message() << "\n";
        return 1;
    }
    if (from == Schema::CurrentVersion) {
        m_out << shown << ": already of schema version " << from << "; nothing to do.\n";
        return 0;
    }
    if (from > Schema::CurrentVersion) {
        m_err << "kelvaro-admin upgrade: " << Connection::schemaVersionRefused(file, from).message() << "\n";
        return 1;
    }

    const QString backup = backupBeside(file, from);
    try {
        backupInto(c, backup);
    } catch (const DbError &e) {
        m_err << "kelvaro-admin upgrade: cannot back up to '" << backup << "' first: " << e.message()
              << "; nothing was changed.\n";
        return 1;
    }
    m_out << "Backed up " << shown << " (schema version " << from << ") to " << backup << ".\n";

    QStringList steps;
    try {
        steps = SchemaUpgrade::run(c);
    } catch (const DbError &e) {
        m_err << "kelvaro-admin upgrade: " << e.message() << "\nThe database is left as it was (version "
              << from << "); nothing was changed.\n";
        return 1;
    }
    c.close();
    for (const QString &step : std::as_const(steps))
        m_out << "  " << step << "\n";
    const QStringList problems = DatabaseCheck::problems(file);
    if (!problems.isEmpty()) {
        m_err << shown << ": upgraded, but the check found problems:\n";
        for (const QString &p : problems)
            m_err << "  " << p << "\n";
        m_err << "The backup " << backup << " holds the database as it was.\n";
        return 1;
    }
    m_out << "Upgraded " << shown << " from schema version " << from << " to " << Schema::CurrentVersion
          << "; the check passed.\n";
    return 0;
}
