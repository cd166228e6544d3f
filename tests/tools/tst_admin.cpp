#include "AdminProcess.h"
#include "DbError.h"
#include "PostgresCluster.h"
#include "Schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

QByteArray bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QTemporaryDir &dir) {
    return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

} // namespace

class TestAdmin : public QObject {
    Q_OBJECT
private slots:
    void initDemoMakesABelievableDatabase();
    void initWithoutDemoHasOnlyTheManager();
    void initNeverOverwrites();
    void initWithoutManagerOrTerminalRefuses();
    void refusedManagerLeavesNothing();
    void checkReportsWhatIsWrong();
    void helpAndUsage();
    void serverCommandsNeverShowThePassword();
};

void TestAdmin::initDemoMakesABelievableDatabase() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo/kelvaro.mdb"));
    QDir().mkpath(dir.filePath(QStringLiteral("demo")));
    const AdminResult r =
        admin({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
               QStringLiteral("admin"), QStringLiteral("admin"), QStringLiteral("系統管理"), path});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.contains(QStringLiteral("password"))); // demo passwords are printed
    QCOMPARE(admin({QStringLiteral("check"), path}).code, 0);

    Connection c;
    c.setDatabaseFile(path);
    c.open();
    QCOMPARE(scalar(c, QStringLiteral(
                           "select cus_name || '/' || cus_leve from customer where cus_number = 'admin'"))
                 .toString(),
             QStringLiteral("系統管理/3"));
    QCOMPARE(
        scalar(c, QStringLiteral("select group_concat(distinct cus_leve) from (select cus_leve from customer "
                                 "order by cus_leve)"))
            .toString(),
        QStringLiteral("0,1,3"));
    QVERIFY(scalar(c, QStringLiteral("select count(distinct men_merchant) from menu")).toInt() >= 3);
    QCOMPARE(scalar(c, QStringLiteral(
                           "select group_concat(distinct men_cap) from (select men_cap from menu order by "
                           "men_cap)"))
                 .toString()
                 .split(QLatin1Char(','))
                 .size(),
             3);
    for (const QString &account : {QStringLiteral("amy"), QStringLiteral("mei")})
        QVERIFY2(r.out.contains(account), qPrintable(r.out));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    QVERIFY(
        scalar(c, QStringLiteral("select count(*) from ordern where ord_date = '%1'").arg(today)).toInt() >
        0);
    QVERIFY(scalar(c, QStringLiteral("select count(*) from ordern where ord_date = '%1'").arg(yesterday))
                .toInt() > 0);
    // Order lines name items that are on the menu, at the menu's price.
    QCOMPARE(
        scalar(c, QStringLiteral("select count(*) from ordern o where not exists (select 1 from menu m where "
                                 "m.men_name = o.ord_name and m.men_cap = o.ord_cap and m.men_price = "
                                 "o.ord_pric and m.men_merchant = o.ord_mer)"))
            .toInt(),
        0);
    QCOMPARE(entries(dir), QStringList{QStringLiteral("demo")});
    QCOMPARE(QDir(dir.filePath(QStringLiteral("demo")))
                 .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{QStringLiteral("kelvaro.mdb")});
}

void TestAdmin::initWithoutDemoHasOnlyTheManager() {
    QTemporaryDir dir;
    // FILE defaults to kelvaro.mdb in the working directory.
    const AdminResult r = admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("boss"),
                                 QStringLiteral("pw"), QStringLiteral("老闆")},
                                dir.path());
    QVERIFY2(r.code == 0, qPrintable(r.err));
    Connection c;
    c.setDatabaseFile(dir.filePath(QStringLiteral("kelvaro.mdb")));
    c.open();
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from customer")).toInt(), 1);
    QCOMPARE(scalar(c, QStringLiteral("select cus_password from customer where cus_leve = 3")).toString(),
             QStringLiteral("pw"));
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from menu")).toInt() +
                 scalar(c, QStringLiteral("select count(*) from ordern")).toInt(),
             0);
}

void TestAdmin::initNeverOverwrites() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kelvaro.mdb"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    const AdminResult r =
        admin({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
               QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), path});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("already exists")));
    QCOMPARE(bytes(path), QByteArray("precious"));
    QCOMPARE(entries(dir), QStringList{QStringLiteral("kelvaro.mdb")});
}

void TestAdmin::initWithoutManagerOrTerminalRefuses() {
    QTemporaryDir dir;
    const AdminResult r = admin({QStringLiteral("init"), QStringLiteral("x.mdb")}, dir.path());
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QStringLiteral("--manager")), qPrintable(r.err));
    QVERIFY(entries(dir).isEmpty());
    const AdminResult partial =
        admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("only")}, dir.path());
    QCOMPARE(partial.code, 2);
    QVERIFY(entries(dir).isEmpty());
}

void TestAdmin::refusedManagerLeavesNothing() {
    QTemporaryDir dir;
    // A name of nine characters does not fit cus_name.
    const AdminResult r = admin({QStringLiteral("init"), QStringLiteral("--demo"),
                                 QStringLiteral("--manager"), QStringLiteral("admin"), QStringLiteral("pw"),
                                 QStringLiteral("一二三四五六七八九"), QStringLiteral("k.mdb")},
                                dir.path());
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("cus_name")), qPrintable(r.err));
    QVERIFY(entries(dir).isEmpty());
}

void TestAdmin::checkReportsWhatIsWrong() {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.mdb"));
    QCOMPARE(admin({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
                    QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), good})
                 .code,
             0);
    const AdminResult ok = admin({QStringLiteral("check"), good});
    QCOMPARE(ok.code, 0);
    QVERIFY(ok.out.contains(QStringLiteral("ok")));
    QVERIFY2(!ok.out.contains(QStringLiteral("note")), qPrintable(ok.out));

    // A file of an earlier version, whose checks stop reading at a NUL character, is sound and
    // still opens; check says which checks those are.
    const QString older = dir.filePath(QStringLiteral("older.mdb"));
    sqlite3 *h = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(older).constData(), &h), SQLITE_OK);
    for (QString statement : Schema::createStatements()) {
        statement.remove(QRegularExpression(QStringLiteral(" AND instr\\(\\w+, char\\(0\\)\\) = 0")));
        QCOMPARE(sqlite3_exec(h, statement.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(h);
    const AdminResult earlier = admin({QStringLiteral("check"), older});
    QCOMPARE(earlier.code, 0);
    QVERIFY2(earlier.out.contains(QStringLiteral("earlier version")) &&
                 earlier.out.contains(QStringLiteral("cus_number")) &&
                 earlier.out.contains(QStringLiteral("ord_time")),
             qPrintable(earlier.out));
    // It is of the first schema version: the program opens it once it is upgraded, which keeps
    // the file as it was in a backup beside it; a second upgrade has nothing to do.
    QCOMPARE(admin({QStringLiteral("upgrade"), older}).code, 0);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("older.mdb.v1-*.bak")}, QDir::Files).size(), 1);
    const AdminResult upToDate = admin({QStringLiteral("upgrade"), older});
    QVERIFY2(upToDate.code == 0 && upToDate.out.contains(QStringLiteral("nothing to do")),
             qPrintable(upToDate.out));
    {
        Connection c;
        c.setDatabaseFile(older);
        c.open();
        QCOMPARE(scalar(c, QStringLiteral("select count(*) from customer")).toInt(), 0);
    }

    const AdminResult missing = admin({QStringLiteral("check"), dir.filePath(QStringLiteral("none.mdb"))});
    QCOMPARE(missing.code, 1);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.mdb"))));

    const QString junk = dir.filePath(QStringLiteral("junk.mdb"));
    {
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    const AdminResult notDb = admin({QStringLiteral("check"), junk});
    QCOMPARE(notDb.code, 1);
    QVERIFY2(notDb.err.contains(QStringLiteral("not a database")), qPrintable(notDb.err));
    QCOMPARE(bytes(junk), QByteArray(4096, 'x'));

    const QString foreign = dir.filePath(QStringLiteral("foreign.mdb"));
    sqlite3_open(QFile::encodeName(foreign).constData(), &h);
    sqlite3_exec(h,
                 "CREATE TABLE customer (cus_id INTEGER PRIMARY KEY, cus_name TEXT, cus_number TEXT, "
                 "cus_password TEXT, cus_group TEXT, cus_leve INTEGER)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(h);
    const AdminResult wrong = admin({QStringLiteral("check"), foreign});
    QCOMPARE(wrong.code, 1);
    QVERIFY2(wrong.err.contains(QStringLiteral("'menu' is missing")), qPrintable(wrong.err));
    QVERIFY(wrong.err.contains(QStringLiteral("not in the order")));

    // A copy that crashed in the middle of a write left its journal behind: check rolls the
    // write back (as the next copy of the program to open the file would) and finds it sound.
    const QString crashed = dir.filePath(QStringLiteral("crashed.mdb"));
    {
        sqlite3_open(QFile::encodeName(good).constData(), &h);
        sqlite3_exec(h, "PRAGMA cache_size = 1; BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int i = 0; i < 300; ++i)
            sqlite3_exec(h,
                         "INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                         "VALUES ('half', 'written', hex(randomblob(14)), '小', 1)",
                         nullptr, nullptr, nullptr);
        // The files as a crash at this moment leaves them.
        QVERIFY(QFile::copy(good + QStringLiteral("-journal"), crashed + QStringLiteral("-journal")));
        QVERIFY(QFile::copy(good, crashed));
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(h);
    }
    QVERIFY(bytes(crashed) != bytes(good)); // the write had reached the file itself
    const AdminResult recovered = admin({QStringLiteral("check"), crashed});
    QVERIFY2(recovered.code == 0, qPrintable(recovered.err));
    QVERIFY2(recovered.out.contains(QStringLiteral("rolled back")), qPrintable(recovered.out));
    QVERIFY(!QFile::exists(crashed + QStringLiteral("-journal")));
    QCOMPARE(bytes(crashed), bytes(good));
    // With nothing to roll back, check only reads.
    const AdminResult again = admin({QStringLiteral("check"), crashed});
    QCOMPARE(again.code, 0);
    QVERIFY2(!again.out.contains(QStringLiteral("rolled back")), qPrintable(again.out));
    QCOMPARE(bytes(crashed), bytes(good));

    // Damage an index page: the integrity check finds it.
    const QString damaged = dir.filePath(QStringLiteral("damaged.mdb"));
    QVERIFY(QFile::copy(good, damaged));
    {
        sqlite3_open(QFile::encodeName(damaged).constData(), &h);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(h, "select rootpage from sqlite_schema where name = 'customer_number'", -1, &st,
                           nullptr);
        sqlite3_step(st);
        const int page = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(h);
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(qint64(page - 1) * 4096 + 12);
        f.write(QByteArray(200, '\x55'));
    }
    const AdminResult broken = admin({QStringLiteral("check"), damaged});
    QCOMPARE(broken.code, 1);
    QVERIFY2(!broken.err.isEmpty(), qPrintable(broken.out));
}

void TestAdmin::helpAndUsage() {
    for (const QStringList &args : {QStringList{QStringLiteral("--help")},
                                    QStringList{QStringLiteral("init"), QStringLiteral("--help")},
                                    QStringList{QStringLiteral("check"), QStringLiteral("--help")}}) {
        const AdminResult r = admin(args);
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains(QStringLiteral("Usage: kelvaro-admin")), qPrintable(r.out));
    }
    QCOMPARE(admin({}).code, 2);
    QCOMPARE(admin({QStringLiteral("frobnicate")}).code, 2);
    QCOMPARE(admin({QStringLiteral("init"), QStringLiteral("--bogus")}).code, 2);
}

void TestAdmin::serverCommandsNeverShowThePassword() {
    // A server database named with a password in its URL: init, add-manager and check (passing
    // and failing) name the database in what they print, never the password.
    PostgresCluster &cluster = PostgresCluster::instance();
    cluster.emptyDatabase();
    const QString url = cluster.databaseUrl().replace(QStringLiteral("@"), QStringLiteral(":pw-secret@"));
    const QString shown = cluster.databaseUrl().replace(QStringLiteral("@"), QStringLiteral(":***@"));
    QList<AdminResult> runs;
    runs << admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("boss"),
                   QStringLiteral("pw"), QStringLiteral("老闆"), url})
         << admin({QStringLiteral("add-manager"), url, QStringLiteral("boss2"), QStringLiteral("pw"),
                   QStringLiteral("二號")})
         << admin({QStringLiteral("check"), QStringLiteral("--database"), url});
    cluster.psql(cluster.databaseUrl().section(QLatin1Char('/'), -1),
                 QStringLiteral("alter table ordern drop constraint ord_note_len"));
    runs << admin({QStringLiteral("check"), url});
    const QList<int> codes{0, 0, 0, 1};
    for (int i = 0; i < runs.size(); ++i) {
        const QString printed = runs[i].out + runs[i].err;
        QVERIFY2(runs[i].code == codes[i], qPrintable(printed));
        QVERIFY2(printed.contains(shown) && !printed.contains(QStringLiteral("pw-secret")),
                 qPrintable(printed));
    }
    QVERIFY(runs.last().err.contains(QStringLiteral("ord_note_len")));
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
