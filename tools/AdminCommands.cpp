#include "AdminCommands.h"

#include "Connection.h"
#include "DatabaseCheck.h"
#include "DbError.h"
#include "DemoData.h"
#include "FileError.h"
#include "NewFile.h"
#include "Schema.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

const QString defaultFile = QStringLiteral("kelvaro.mdb");

} // namespace

void AdminCommands::usage(QTextStream &to) const {
    to << "Usage: kelvaro-admin COMMAND [OPTIONS] [FILE]\n"
          "Makes and checks Kelvaro database files. FILE defaults to kelvaro.mdb in the working "
          "directory.\n\n"
          "Commands:\n"
          "  init         make a new database with the schema and a first system manager\n"
          "  check        run the integrity check and verify the schema\n"
          "  backup       copy a database in use to a new file\n"
          "  add-manager  add a system manager to an existing database\n"
          "  import-menu  add menu items from a CSV file\n"
          "  export-menu  write the menu as a CSV file\n"
          "  upgrade      bring a database made by an earlier release to this version\n\n"
          "Every command also takes the database file as --database FILE.\n"
          "Run 'kelvaro-admin COMMAND --help' for a command's options.\n";
}

void AdminCommands::initUsage(QTextStream &to) const {
    to << "Usage: kelvaro-admin init [--demo] [--manager ACCOUNT PASSWORD NAME] [FILE | --database FILE]\n"
          "FILE may also be a PostgreSQL database, postgresql://user@host:port/dbname: it must exist\n"
          "and be empty; the schema is made in it, and if anything fails it is left empty.\n"
          "Makes a new database file with the schema and a first system manager (level 3).\n"
          "Never overwrites an existing file.\n\n"
          "  --manager ACCOUNT PASSWORD NAME   the manager's account (up to 20 characters), password (up to "
          "20)\n"
          "                                    and name (up to 8); without it they are asked on the "
          "terminal\n"
          "  --demo                            also add demo shops, menus, users and order lines\n"
          "  --help                            show this help\n";
}

void AdminCommands::checkUsage(QTextStream &to) const {
    to << "Usage: kelvaro-admin check [FILE | --database FILE]\n"
          "Rolls back a write that a crashed copy left unfinished, then runs the integrity check on a\n"
          "database file and verifies its schema; notes a file made by an earlier version.\n"
          "Prints what is wrong and exits with 1 if anything is; exits with 0 when the file is sound.\n";
}

const char *AdminCommands::maintenanceUsage(const QString &command) {
    if (command == QLatin1String("backup"))
        return "Usage: kelvaro-admin backup FILE DEST\n"
               "Copies the database FILE to the new file DEST while copies of the program may be using it\n"
               "(the engine's online backup: one consistent state). Never overwrites DEST. When DEST is an\n"
               "existing folder, the copy is a new file in it named after the database and the day\n"
               "(kelvaro-2026-12-09.mdb).\n"
               "For a server database (postgresql://...), PostgreSQL's pg_dump writes DEST in its custom\n"
               "format, one consistent state as well; pg_restore loads it into an empty database.\n";
    if (command == QLatin1String("add-manager"))
        return "Usage: kelvaro-admin add-manager FILE ACCOUNT PASSWORD NAME\n"
               "Adds a system manager (level 3) to an existing database: the way back in when every\n"
               "system manager account has been deleted. Refuses an account that sign-in would take\n"
               "for an existing one.\n";
    if (command == QLatin1String("import-menu"))
        return "Usage: kelvaro-admin import-menu FILE CSV\n"
               "Merges the menu items of a UTF-8 CSV file (- reads standard input), one a line: shop,\n"
               "category, item, cup size (小, 中 or 大), price, separated by commas, semicolons or tabs.\n"
               "A header line naming the columns is skipped, in any order and in the column names\n"
               "(men_merchant, ...), the menu page's words (店家,分類,品名,杯量,價格) or English ones\n"
               "(shop,category,item,cup size,price). An item already on the menu (the same shop, category,\n"
               "item and cup size) takes the file's price instead of being added again. All or nothing:\n"
               "the first bad line is named with its reason, and then nothing is stored.\n";
    if (command == QLatin1String("upgrade"))
        return "Usage: kelvaro-admin upgrade [FILE | --database FILE]\n"
               "Brings a database made by an earlier release to this version's schema. First a backup is\n"
               "written beside the file (FILE.vN-DATE-TIME.bak; for a server database pg_dump's archive in\n"
               "the working directory), never over an existing file; then every step runs in one\n"
               "transaction, and the result is checked. If anything fails the database is left exactly\n"
               "as it was. A database of this version already: nothing to do. Install the new program\n"
               "on every desktop first: copies of an earlier release may not work on the upgraded file.\n";
    return "Usage: kelvaro-admin export-menu FILE [CSV]\n"
           "Writes the menu as UTF-8 CSV (shop, category, item, cup size, price, after a header line),\n"
           "oldest item first, to standard output (no CSV, or -) or to the new file CSV (never\n"
           "overwritten).\n";
}

bool AdminCommands::positional(const QStringList &args, const QString &command, int count,
                               QStringList *values, int optional) {
    QStringList found;
    QString database;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            m_out << maintenanceUsage(command);
            m_usageCode = 0;
            return false;
        }
        if (a == QLatin1String("--database") && i + 1 < args.size()) {
            database = args[++i];
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            m_err << "kelvaro-admin " << command << ": unknown option '" << a << "'\n";
            m_err << maintenanceUsage(command);
            m_usageCode = 2;
            return false;
        } else {
            found << a;
        }
    }
    if (!database.isEmpty()) found.prepend(database);
    if (found.size() < count || found.size() > count + optional) {
        m_err << "kelvaro-admin " << command << ": wrong number of arguments\n";
        m_err << maintenanceUsage(command);
        m_usageCode = 2;
        return false;
    }
    *values = found;
    return true;
}

int AdminCommands::run(const QStringList &args) {
    if (args.isEmpty()) {
        usage(m_err);
        return 2;
    }
    const QString command = args.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        usage(m_out);
        return 0;
    }
    if (command == QLatin1String("init")) return init(args.mid(1));
    if (command == QLatin1String("check")) return check(args.mid(1));
    if (command == QLatin1String("backup")) return backup(args.mid(1));
    if (command == QLatin1String("add-manager")) return addManager(args.mid(1));
    if (command == QLatin1String("import-menu")) return importMenu(args.mid(1));
    if (command == QLatin1String("export-menu")) return exportMenu(args.mid(1));
    if (command == QLatin1String("upgrade")) return upgrade(args.mid(1));
    m_err << "kelvaro-admin: unknown command '" << command << "'\n";
    usage(m_err);
    return 2;
}

bool AdminCommands::ask(const QString &prompt, QString *answer, bool secret) {
    if (!isatty(STDIN_FILENO)) return false;
    m_out << prompt << Qt::flush;
    termios saved{};
    const bool hide = secret && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hide) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    const bool ok = bool(std::getline(std::cin, line));
    if (hide) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        m_out << "\n" << Qt::flush;
    }
    *answer = QString::fromStdString(line).trimmed();
    return ok;
}

int AdminCommands::init(const QStringList &args) {
    bool demo = false;
    QStringList manager;
    QString file;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            initUsage(m_out);
            return 0;
        } else if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--database") && i + 1 < args.size() && file.isEmpty()) {
            file = args[++i];
        } else if (a == QLatin1String("--manager")) {
            if (i + 3 >= args.size()) {
                m_err << "kelvaro-admin init: --manager needs ACCOUNT PASSWORD NAME\n";
                initUsage(m_err);
                return 2;
            }
            manager = args.mid(i + 1, 3);
            i += 3;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            m_err << "kelvaro-admin init: unknown option '" << a << "'\n";
            initUsage(m_err);
            return 2;
        } else if (file.isEmpty()) {
            file = a;
        } else {
            m_err << "kelvaro-admin init: more than one FILE given\n";
            initUsage(m_err);
            return 2;
        }
    }
    if (file.isEmpty()) file = defaultFile;
    if (QFileInfo::exists(file)) {
        m_err << "kelvaro-admin init: '" << file << "' already exists; it is left as it is.\n";
        return 1;
    }
    if (!Connection::isServer(file) && !QFileInfo(file).absoluteDir().exists()) {
        m_err << "kelvaro-admin init: the folder '" << QFileInfo(file).absolutePath()
              << "' does not exist; nothing was made.\n";
        return 1;
    }
    if (manager.isEmpty()) {
        QString account, password, name;
        if (!ask(QStringLiteral("Manager account: "), &account, false) ||
            !ask(QStringLiteral("Manager password: "), &password, true) ||
            !ask(QStringLiteral("Manager name: "), &name, false)) {
            m_err << "kelvaro-admin init: no terminal to ask for the first system manager; "
                     "give --manager ACCOUNT PASSWORD NAME\n";
            initUsage(m_err);
            return 2;
        }
        manager = {account, password, name};
    }
    if (manager[0].trimmed().isEmpty()) {
        m_err << "kelvaro-admin init: the manager's account must not be empty\n";
        return 2;
    }
    if (const QString refusal = accountRefusal(manager[0]); !refusal.isEmpty()) {
        m_err << "kelvaro-admin init: " << refusal << "\n";
        return 2;
    }

    // A server's database exists already: the schema goes into it while it is empty. A file is
    // a NewFile: it appears whole or not at all, and an existing file is never replaced. Either
    // way schema, manager and demo data are one transaction: a failure leaves the database as it
    // was.
    try {
        std::optional<NewFile> made;
        if (!Connection::isServer(file)) made.emplace(file);
        Connection c;
        c.setDatabaseFile(made ? made->path() : file);
        c.create([&] {
            if (!insertManager(c, manager)) throw DbError(QStringLiteral("The manager could not be added."));
            if (demo) DemoData::fill(c, QDate::currentDate());
        });
        c.close();
        if (made) made->commit();
    } catch (const DbError &e) {
        m_err << "kelvaro-admin init: " << e.message() << "\n";
        return 1;
    } catch (const FileError &e) {
        m_err << "kelvaro-admin init: " << e.message() << "\n";
        return 1;
    }
    reportInit(file, manager, demo);
    return 0;
}

void AdminCommands::reportInit(const QString &file, const QStringList &manager, bool demo) {
    m_out << "Created " << Connection::shown(file) << " with system manager '" << manager[0]
          << "' (level 3).\n";
    if (demo) {
        m_out << "  account " << manager[0] << "  password " << manager[1] << "  level 3  (" << manager[2]
              << ")\n";
        m_out << "Demo data added: 4 shops with their menus, order lines of today and yesterday, and these "
                 "users:\n";
        for (const DemoData::User &u : DemoData::users())
            m_out << "  account " << u.account << "  password " << u.password << "  level " << u.level
                  << "  (" << QString::fromUtf8(u.name) << ")\n";
    }
}

int AdminCommands::check(const QStringList &args) {
    QString file;
    for (int i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            checkUsage(m_out);
            return 0;
        }
        if (a == QLatin1String("--database") && i + 1 < args.size()) a = args[++i];
        if ((a.startsWith(QLatin1Char('-')) && a.size() > 1) || !file.isEmpty()) {
            m_err << "kelvaro-admin check: unexpected argument '" << a << "'\n";
            checkUsage(m_err);
            return 2;
        }
        file = a;
    }
    if (file.isEmpty()) file = defaultFile;
    if (!Connection::isServer(file) && !QFileInfo(file).isFile()) {
        m_err << "kelvaro-admin check: '" << file << "' does not exist or is not a file.\n";
        return 1;
    }
    const QString shown = Connection::shown(file);
    const QString recovered = DatabaseCheck::recoverInterruptedWrite(file);
    if (!recovered.isEmpty()) m_out << shown << ": " << recovered << "\n";
    const QStringList found = DatabaseCheck::problems(file);
    if (!found.isEmpty()) {
        m_err << shown << ": problems found:\n";
        for (const QString &p : found)
            m_err << "  " << p << "\n";
        return 1;
    }
    m_out << shown << ": ok (integrity check passed, schema as expected)\n";
    for (const QString &note : DatabaseCheck::notes(file))
        m_out << shown << ": note: " << note << "\n";
    return 0;
}
