// Environment faults: a read-only file, a read-only folder, a truncated file, another process
// holding an exclusive lock, a full disk (a small file system when run as root, and always an
// engine file layer that refuses writes) and a failing disk. Each must give a clear message,
// change nothing, and leave the program able to go on once the fault is gone.
//
//   stress_faults [--help]
#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "FaultVfs.h"
#include "StressSupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const char *const usage =
    "Usage: stress_faults\n"
    "Environment faults: a read-only file and folder, a truncated file, another process's exclusive\n"
    "lock, a full disk (a small file system of its own when run as root, and always a file layer\n"
    "that refuses writes) and a failing disk. Each must give a clear message, change nothing, and\n"
    "leave the program able to go on once the fault is gone. Prints its figures at the end and\n"
    "exits with 1 when any of that fails.\n\n"
    "  --help   show this help\n";

//! Runs with the permissions of an ordinary user when the program runs as root, who could
//! otherwise write through any permission bits.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() != 0) return;
        m_switched = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~AsOrdinaryUser() {
        if (!m_switched) return;
        [[maybe_unused]] const int u = seteuid(0);
        [[maybe_unused]] const int g = setegid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool m_switched = false;
};

//! The message of the DbError that `action` throws; empty when it throws none.
QString failure(const std::function<void()> &action) {
    try {
        action();
    } catch (const DbError &e) {
        return e.message().isEmpty() ? QStringLiteral("(an empty message)") : e.message();
    }
    return QString();
}

QByteArray fileDigest(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

class Faults {
public:
    Faults()
        : m_dir({QStringLiteral("small")})
        , m_report(QStringLiteral("Environment faults")) {}

    //! A database in a folder of its own that anyone may enter, with a day's order in it.
    QString prepare(const QString &name, int lines = 40) {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        const QString path = Stress::makeDatabase(folder);
        QFile::setPermissions(path, QFileDevice::Permissions(0x6666));
        auto c = Stress::connect(path);
        // Only the faults are under test here, not the disk's flushing speed.
        sqlite3_exec(c->handle(), "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        auto query = Stress::insertQuery(*c);
        for (int i = 0; i < lines; ++i)
            Stress::storeLine(*query, QStringLiteral("before"), QStringLiteral("line %1").arg(i));
        return path;
    }

    //! Records one fault: its message, whether the contents stayed, whether work went on.
    void result(const QString &fault, const QString &message, bool unchanged, bool goesOn) {
        m_report.figure(fault, message.isEmpty() ? QStringLiteral("NO ERROR REPORTED") : message);
        m_report.figure(QStringLiteral("  nothing changed / goes on"),
                        QStringLiteral("%1 / %2").arg(unchanged ? "yes" : "NO", goesOn ? "yes" : "NO"));
        m_report.check(!message.isEmpty(), fault + QStringLiteral(": the failure is reported"));
        m_report.check(unchanged, fault + QStringLiteral(": nothing changed"));
        m_report.check(goesOn, fault + QStringLiteral(": the program goes on"));
    }

    //! One more line stored and read back on `c`: the program goes on.
    static bool storesAgain(Connection &c, const QString &tag) {
        return failure([&] {
                   Stress::storeLine(*Stress::insertQuery(c), QStringLiteral("after"), tag);
               }).isEmpty() &&
               Stress::storedTags(c).value(QStringLiteral("after/") + tag) == 1;
    }

    void readOnlyFile() {
        const QString path = prepare(QStringLiteral("rofile"));
        const QByteArray before = Stress::contents(*Stress::connect(path));
        QFile::setPermissions(path, QFileDevice::Permissions(0x4444));
        QString message;
        bool reads = false;
        {
            AsOrdinaryUser user;
            message = failure([&] {
                auto c = Stress::connect(path);
                reads = !Stress::storedTags(*c).isEmpty();
                Stress::storeLine(*Stress::insertQuery(*c), QStringLiteral("fault"),
                                  QStringLiteral("ro file"));
            });
        }
        QFile::setPermissions(path, QFileDevice::Permissions(0x6666));
        auto c = Stress::connect(path);
        const bool unchanged = Stress::contents(*c) == before;
        result(QStringLiteral("read-only file"), message, unchanged,
               reads && storesAgain(*c, QStringLiteral("ro file")));
    }

    void readOnlyFolder() {
        const QString path = prepare(QStringLiteral("rofolder"));
        const QString folder = QFileInfo(path).absolutePath();
        auto c = Stress::connect(path);
        const QByteArray before = Stress::contents(*c);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
        QString message;
        bool unchanged = false;
        {
            AsOrdinaryUser user;
            auto mine = Stress::connect(path);
            message = failure([&] {
                Stress::storeLine(*Stress::insertQuery(*mine), QStringLiteral("fault"),
                                  QStringLiteral("ro folder"));
            });
            unchanged = Stress::contents(*mine) == before;
        }
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        result(QStringLiteral("read-only folder"), message, unchanged,
               storesAgain(*c, QStringLiteral("ro folder")));
    }

    void truncatedFile() {
        const QString good = prepare(QStringLiteral("truncated"), 400);
        const QString path = QFileInfo(good).absolutePath() + QStringLiteral("/cut.mdb");
        QFile::copy(good, path);
        QFile::resize(path, QFileInfo(path).size() / 2);
        const QByteArray before = fileDigest(path);
        const QString message = failure([&] {
            auto c = Stress::connect(path);
            Stress::storeLine(*Stress::insertQuery(*c), QStringLiteral("fault"), QStringLiteral("cut"));
            Stress::storedTags(*c);
        });
        const bool unchanged =
            fileDigest(path) == before && !QFile::exists(path + QStringLiteral("-journal"));
        // The program goes on with a sound file.
        auto c = Stress::connect(good);
        result(QStringLiteral("truncated file"), message, unchanged, storesAgain(*c, QStringLiteral("cut")));
    }

    void lockedByAnotherProcess() {
        const QString path = prepare(QStringLiteral("locked"));
        auto c = Stress::connect(path, 300);
        const QByteArray before = Stress::contents(*c);
        auto holder = Stress::startSelf({QStringLiteral("--hold-lock"), path});
        const bool held = holder->waitForReadyRead(30000) && holder->readLine().startsWith("locked");
        m_report.check(held, QStringLiteral("the other process took its exclusive lock"));
        const QString message = failure([&] {
            Stress::storeLine(*Stress::insertQuery(*c), QStringLiteral("fault"), QStringLiteral("locked"));
        });
        const QString readMessage = failure([&] { Stress::storedTags(*c); });
        const QString openMessage = failure([&] { Stress::connect(path, 300); });
        holder->write("\n");
        holder->waitForFinished(30000);
        const bool unchanged = Stress::contents(*c) == before;
        result(QStringLiteral("exclusive lock: insert"), message, unchanged,
               storesAgain(*c, QStringLiteral("locked")));
        m_report.figure(QStringLiteral("exclusive lock: read"),
                        readMessage.isEmpty() ? QStringLiteral("(read went through)") : readMessage);
        m_report.figure(QStringLiteral("exclusive lock: open"),
                        openMessage.isEmpty() ? QStringLiteral("(opened)") : openMessage);
    }

    //! A real full disk: a small file system of its own, filled up. Needs root to mount one.
    void fullFileSystem() {
        const QString mountPoint = m_dir.filePath(QStringLiteral("small"));
        QDir().mkpath(mountPoint);
        if (geteuid() != 0 || ::mount("kelvaro-stress", QFile::encodeName(mountPoint).constData(), "tmpfs", 0,
                                      "size=256k") != 0) {
            m_report.figure(QStringLiteral("full file system"),
                            QStringLiteral("skipped (mounting needs root)"));
            return;
        }
        QString message;
        bool unchanged = false, goesOn = false;
        {
            const QString path = Stress::makeDatabase(mountPoint);
            auto c = Stress::connect(path);
            auto query = Stress::insertQuery(*c);
            for (int i = 0; i < 40; ++i)
                Stress::storeLine(*query, QStringLiteral("before"), QStringLiteral("line %1").arg(i));
            const QByteArray before = Stress::contents(*c);
            const QString filler = mountPoint + QStringLiteral("/filler");
            {
                QFile fill(filler);
                fill.open(QIODevice::WriteOnly);
                const QByteArray block(4096, 'x');
                while (fill.write(block) == block.size() && fill.flush()) {
                }
            }
            message =
                failure([&] { Stress::storeLine(*query, QStringLiteral("fault"), QStringLiteral("full")); });
            unchanged = Stress::contents(*c) == before;
            QFile::remove(filler);
            goesOn = storesAgain(*c, QStringLiteral("full"));
        }
        ::umount(QFile::encodeName(mountPoint).constData());
        result(QStringLiteral("full file system"), message, unchanged, goesOn);
    }

    //! The engine's writes refused by its file layer: a full disk, then a failing disk.
    void refusedWrites(FaultVfs::Fault fault, const QString &name, const QString &tag) {
        const QString path = prepare(tag);
        auto c = Stress::connect(path);
        const QByteArray before = Stress::contents(*c);
        FaultVfs::setFault(fault);
        const QString message =
            failure([&] { Stress::storeLine(*Stress::insertQuery(*c), QStringLiteral("fault"), tag); });
        FaultVfs::setFault(FaultVfs::Fault::None);
        // A fresh connection sees what another copy of the program would.
        const bool unchanged =
            Stress::contents(*Stress::connect(path)) == before && Stress::contents(*c) == before;
        result(name, message, unchanged, storesAgain(*c, tag));
    }

    int run() {
        m_report.check(FaultVfs::install(), QStringLiteral("the fault-injecting file layer is installed"));
        QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7777));
        readOnlyFile();
        readOnlyFolder();
        truncatedFile();
        lockedByAnotherProcess();
        fullFileSystem();
        refusedWrites(FaultVfs::Fault::DiskFull, QStringLiteral("disk full (file layer)"),
                      QStringLiteral("vfs full"));
        refusedWrites(FaultVfs::Fault::WriteError, QStringLiteral("disk write error (file layer)"),
                      QStringLiteral("vfs error"));
        m_report.figure(QStringLiteral("writes refused by the file layer"), FaultVfs::refusedWrites());
        return m_report.finish();
    }

private:
    Stress::RunFolder m_dir;
    Stress::Report m_report;
};

// Another process: takes the exclusive lock with a change in flight, says "locked", and
// holds it until a line arrives on stdin; then rolls back.
int holdLock(const QString &path) {
    sqlite3 *h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    if (sqlite3_exec(h,
                     "BEGIN EXCLUSIVE; INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, "
                     "ord_cusomter, ord_date, ord_time) VALUES ('x', 'x', 1, 'x', 'holder', 'holder', "
                     "'2026-01-01', '00:00');",
                     nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "holder: %s\n", sqlite3_errmsg(h));
        return 1;
    }
    Stress::say(QStringLiteral("locked"));
    char line[8];
    [[maybe_unused]] const char *got = std::fgets(line, sizeof line, stdin);
    sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("--hold-lock")) {
            Stress::endWithParent();
            return holdLock(args.value(1));
        }
        QHash<QString, QString> options;
        int exitCode = 0;
        if (!Stress::readOptions(args, {}, {}, usage, &options, &exitCode)) return exitCode;
        return Faults().run();
    } catch (const DbError &e) {
        std::fprintf(stderr, "stress_faults: %s\n", qPrintable(e.message()));
        return 1;
    }
}
