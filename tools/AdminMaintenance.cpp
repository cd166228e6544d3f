// kelvaro-admin's commands for a database in use: backup, a new system manager, menus to and
// from CSV files.
#include "AdminCommands.h"

#include "AccountNameRule.h"
#include "Connection.h"
#include "DbError.h"
#include "FileError.h"
#include "MenuCsv.h"
#include "MenuImport.h"
#include "NewFile.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

//! Opens an existing database file of ours read-write; throws DbError.
void openExisting(Connection &c, const QString &file) {
    c.setDatabaseFile(file);
    c.open();
}

} // namespace

QString AdminCommands::accountRefusal(const QString &account) {
    if (!AccountNameRule::signInCanMatch(account))
        return QStringLiteral("the account '%1' starts with a space or a control character, or ends with a "
                              "control character, which sign-in removes from what is typed: nobody could "
                              "ever sign in with it")
            .arg(account);
    return QString();
}

bool AdminCommands::insertManager(Connection &c, const QStringList &manager) {
    // One statement, so no other copy can add the same account between the test and the insert.
    // Account names compare as sign-in compares them.
    Statement st;
    st.add(QStringLiteral("INSERT INTO customer (cus_number, cus_password, cus_name, cus_group, cus_leve)"));
    st.add(QStringLiteral("SELECT ?, ?, ?, ?, ? WHERE NOT EXISTS"));
    st.add(QStringLiteral("(SELECT 1 FROM customer WHERE cus_number = ? COLLATE KTEXT)"));
    st.bindFor(QStringLiteral("cus_number"), manager[0]);
    st.bindFor(QStringLiteral("cus_password"), manager[1]);
    st.bindFor(QStringLiteral("cus_name"), manager[2]);
    st.bindFor(QStringLiteral("cus_group"), QString());
    st.bindFor(QStringLiteral("cus_leve"), 3);
    st.bind(manager[0].trimmed());
    return c.execute(st) == 1;
}

int AdminCommands::backup(const QStringList &args) {
    QStringList files;
    if (!positional(args, QStringLiteral("backup"), 2, &files)) return m_usageCode;
    const QString source = files[0];
    QString target = files[1];
    // Into a folder: a new file named after the database and the day.
    if (QFileInfo(target).isDir()) {
        const bool server = Connection::isServer(source);
        const QString base =
            server ? QUrl(source).path().section(QLatin1Char('/'), -1) : QFileInfo(source).completeBaseName();
        const QString suffix = server ? QStringLiteral("dump") : QFileInfo(source).suffix();
        target = NewFile::datedIn(target, base.isEmpty() ? QStringLiteral("kelvaro") : base,
                                  suffix.isEmpty() ? QStringLiteral("mdb") : suffix, QDate::currentDate());
    } else if (target.endsWith(QLatin1Char('/'))) {
        m_err << "kelvaro-admin backup: the folder '" << target << "' does not exist; nothing was made.\n";
        return 1;
    }
    if (QFileInfo::exists(target)) {
        m_err << "kelvaro-admin backup: '" << target << "' already exists; it is left as it is.\n";
        return 1;
    }
    Connection c;
    // A database of an earlier release is backed up as well, before an upgrade for instance.
    c.setAnySchemaVersion(true);
    try {
        openExisting(c, source);
    } catch (const DbError &e) {
        m_err << "kelvaro-admin backup: " << e.message() << "\n";
        return 1;
    }
    try {
        backupInto(c, target);
    } catch (const DbError &e) {
        m_err << "kelvaro-admin backup: cannot back up to '" << target << "': " << e.message() << "\n";
        return 1;
    }
    m_out << "Backed up " << Connection::shown(source) << " to " << target << ".\n";
    return 0;
}

int AdminCommands::addManager(const QStringList &args) {
    QStringList values;
    if (!positional(args, QStringLiteral("add-manager"), 4, &values)) return m_usageCode;
    const QStringList manager = values.mid(1);
    if (manager[0].trimmed().isEmpty()) {
        m_err << "kelvaro-admin add-manager: the account must not be empty\n";
        return 2;
    }
    if (const QString refusal = accountRefusal(manager[0]); !refusal.isEmpty()) {
        m_err << "kelvaro-admin add-manager: " << refusal << "\n";
        return 2;
    }
    try {
        Connection c;
        openExisting(c, values[0]);
        if (!insertManager(c, manager)) {
            m_err << "kelvaro-admin add-manager: an account '" << manager[0]
                  << "' exists already (sign-in would take one for the other); nothing was added.\n";
            return 1;
        }
    } catch (const DbError &e) {
        m_err << "kelvaro-admin add-manager: " << e.message() << "\n";
        return 1;
    }
    m_out << "Added system manager '" << manager[0] << "' (level 3) to " << Connection::shown(values[0])
          << ".\n";
    return 0;
}

int AdminCommands::importMenu(const QStringList &args) {
    QStringList files;
    if (!positional(args, QStringLiteral("import-menu"), 2, &files)) return m_usageCode;
    // "-" is standard input.
    const bool piped = files[1] == QLatin1String("-");
    const QString shown = piped ? QStringLiteral("standard input") : files[1];
    QFile csv(files[1]);
    if (!(piped ? csv.open(stdin, QIODevice::ReadOnly) : csv.open(QIODevice::ReadOnly))) {
        m_err << "kelvaro-admin import-menu: cannot read '" << files[1] << "': " << csv.errorString() << "\n";
        return 1;
    }
    QString error;
    const QVector<MenuCsv::Record> records = MenuCsv::parse(csv.readAll(), &error);
    if (!error.isEmpty()) {
        m_err << "kelvaro-admin import-menu: " << shown << ": " << error << "; nothing was stored.\n";
        return 1;
    }
    MenuImport::Outcome done;
    try {
        Connection c;
        openExisting(c, files[0]);
        done = MenuImport::run(c, records);
    } catch (const DbError &e) {
        done.refusal = e.message();
        if (done.refusal.endsWith(QLatin1Char('.'))) done.refusal.chop(1);
    }
    if (!done.refusal.isEmpty()) {
        m_err << "kelvaro-admin import-menu: ";
        if (done.line > 0) m_err << shown << " line " << done.line << ": ";
        m_err << done.refusal << "; nothing was stored.\n";
        return 1;
    }
    m_out << "Imported " << records.size() << " menu items from " << shown << " into "
          << Connection::shown(files[0]) << ": " << done.added << " added, " << done.updated << " updated, "
          << done.unchanged << " unchanged.\n";
    return 0;
}

int AdminCommands::exportMenu(const QStringList &args) {
    QStringList files;
    if (!positional(args, QStringLiteral("export-menu"), 1, &files, 1)) return m_usageCode;
    // No file, or "-": standard output.
    QString target = files.value(1);
    if (target == QLatin1String("-")) target.clear();
    if (!target.isEmpty() && QFileInfo::exists(target)) {
        m_err << "kelvaro-admin export-menu: '" << target << "' already exists; it is left as it is.\n";
        return 1;
    }
    QByteArray out = MenuCsv::line(MenuCsv::header());
    try {
        Connection c;
        openExisting(c, files[0]);
        Statement st;
        st.add(QStringLiteral("SELECT %1 FROM menu ORDER BY men_id").arg(MenuCsv::header().join(u", ")));
        const ResultSet rs = c.select(st);
        for (int r = 0; r < rs.rowCount(); ++r) {
            QStringList fields;
            for (int col = 0; col < rs.columnCount(); ++col)
                fields << rs.value(r, col).toString();
            out += MenuCsv::line(fields);
        }
        if (target.isEmpty()) {
            m_out.flush();
            if (fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size()) ||
                fflush(stdout) != 0)
                throw DbError(QStringLiteral("cannot write to standard output"));
        } else {
            NewFile::write(target, out);
        }
    } catch (const DbError &e) {
        m_err << "kelvaro-admin export-menu: " << e.message() << "\n";
        return 1;
    } catch (const FileError &e) {
        m_err << "kelvaro-admin export-menu: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
