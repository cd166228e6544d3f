#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsNotCreated();
    void notADatabaseIsLeftAlone_data();
    void notADatabaseIsLeftAlone();
    void lockedOrDamagedFileIsNamedTruly();
    void readOnlyFileReadsButRefusesWrites();
    void writerWaitsThenFailsCleanly();
    void writerWaitsForAShortLock();
    void severalProcessesWriteAtOnce_data() { EngineTestCase::addEngineRows(); }
    void severalProcessesWriteAtOnce();
    void openDatasetHoldsNoLock_data() { EngineTestCase::addEngineRows(); }
    void openDatasetHoldsNoLock();
    void oddCharactersInThePath();

private:
    static QByteArray readAll(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    //! The error that opening `path` throws; an empty one when it opens.
    static DbError openError(const QString &path, int busyTimeoutMs = 10000) {
        Connection c;
        c.setDatabaseFile(path);
        c.setBusyTimeoutMs(busyTimeoutMs);
        try {
            c.open();
        } catch (const DbError &e) {
            return c.isOpen() ? DbError(QStringLiteral("left open: ") + e.message()) : e;
        }
        return DbError(QString());
    }
};

void TestFaults::missingFileIsNotCreated() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kelvaro.mdb"));
    Connection c;
    c.setDatabaseFile(path);
    try {
        c.open();
        QFAIL("opened a missing file");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("kelvaro.mdb")), qPrintable(e.message()));
    }
    QVERIFY(!c.isOpen());
    QVERIFY(!QFile::exists(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList());
}

void TestFaults::notADatabaseIsLeftAlone_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QByteArray random(8192, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (char &c : random)
        c = char(gen.bounded(256));
    QTest::newRow("random bytes") << random << "not a database";
    QTest::newRow("empty file") << QByteArray() << "Table 'customer' is missing";
    QTest::newRow("text file") << QByteArray("name,price\n綠茶,30\n") << "not a database";
    QTest::newRow("foreign database") << QByteArray("foreign") << "Table 'customer' is missing";
    QTest::newRow("customer in another order") << QByteArray("reordered") << "not in the order";
}

void TestFaults::notADatabaseIsLeftAlone() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kelvaro.mdb"));
    if (content == "foreign" || content == "reordered") {
        sqlite3 *h = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &h), SQLITE_OK);
        const char *sql =
            content == "foreign"
                ? "CREATE TABLE notes (id INTEGER PRIMARY KEY, body TEXT); INSERT INTO notes (body) VALUES "
                  "('x')"
                : "CREATE TABLE customer (cus_id INTEGER PRIMARY KEY AUTOINCREMENT, cus_name TEXT, "
                  "cus_number TEXT, cus_password TEXT, cus_group TEXT, cus_leve INTEGER);"
                  "CREATE TABLE menu (men_id INTEGER PRIMARY KEY AUTOINCREMENT, men_merchant TEXT, "
                  "men_type TEXT, men_name TEXT, men_cap TEXT, men_price INTEGER);"
                  "CREATE TABLE ordern (ord_id INTEGER PRIMARY KEY AUTOINCREMENT, ord_name TEXT, "
                  "ord_cap TEXT, ord_pric INTEGER, ord_mer TEXT, ord_note TEXT, ord_cusomter TEXT, "
                  "ord_date TEXT, ord_time TEXT)";
        QCOMPARE(sqlite3_exec(h, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(h);
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const QByteArray before = readAll(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    Connection c;
    c.setDatabaseFile(path);
    try {
        c.open();
        QFAIL("opened a file that is not ours");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(expected), qPrintable(e.message()));
    }
    QVERIFY(!c.isOpen());
    QCOMPARE(readAll(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{QStringLiteral("kelvaro.mdb")});
}

void TestFaults::lockedOrDamagedFileIsNamedTruly() {
    TestDatabase db;
    db.connection().close();
    // Another copy holds the file's exclusive lock: the file is busy, not foreign.
    auto holder = db.openAnother();
    QCOMPARE(sqlite3_exec(holder->handle(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const DbError locked = openError(db.path(), 100);
    QVERIFY2(locked.message().contains(QStringLiteral("locked")) &&
                 locked.message().contains(QStringLiteral("try again later"), Qt::CaseInsensitive) &&
                 !locked.message().contains(QStringLiteral("Kelvaro")),
             qPrintable(locked.message()));
    QCOMPARE(locked.code() & 0xff, SQLITE_BUSY);
    QCOMPARE(sqlite3_exec(holder->handle(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    holder.reset();
    QCOMPARE(openError(db.path()).message(), QString());

    // The page that holds the schema is damaged: say so, and what to run; touch nothing.
    const QString damaged = db.dir() + QStringLiteral("/damaged.mdb");
    QVERIFY(QFile::copy(db.path(), damaged));
    {
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(100); // the page type of the schema table's first page
        f.write(QByteArray(1, '\0'));
    }
    const QByteArray before = readAll(damaged);
    const DbError broken = openError(damaged);
    QVERIFY2(broken.message().contains(QStringLiteral("damaged")) &&
                 broken.message().contains(QStringLiteral("kelvaro-admin check")) &&
                 !broken.message().contains(QStringLiteral("not a Kelvaro")),
             qPrintable(broken.message()));
    QCOMPARE(broken.code() & 0xff, SQLITE_CORRUPT);
    QCOMPARE(readAll(damaged), before);

    // Not a database at all keeps the engine's code too.
    QCOMPARE(openError(QStringLiteral(KELVARO_DATA_HELPER)).code(), SQLITE_NOTADB);
}

void TestFaults::readOnlyFileReadsButRefusesWrites() {
    TestDatabase db;
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶類"), QStringLiteral("綠茶"), QStringLiteral("中"),
               30);
    db.connection().close();
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = readAll(db.path());
    Connection c;
    c.setDatabaseFile(db.path());
    // Running as root every file is writable: then ask for read-only explicitly.
    if (QFileInfo(db.path()).isWritable()) c.setForceReadOnly(true);
    c.open();
    QVERIFY(c.isReadOnly());
    Statement read;
    read.add(QStringLiteral("select men_name from menu"));
    QCOMPARE(c.select(read).value(0, 0).toString(), QStringLiteral("綠茶"));
    Statement write;
    write.add(QStringLiteral("INSERT INTO menu (men_name) VALUES (?)"));
    write.bindFor(QStringLiteral("men_name"), QStringLiteral("新品"));
    try {
        c.execute(write);
        QFAIL("wrote to a read-only file");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("readonly")), qPrintable(e.message()));
    }
    QCOMPARE(c.select(read).rowCount(), 1);
    // A dataset that could modify on a writable file modifies nothing here, and says so first.
    Dataset ds(QStringLiteral("ds"));
    ds.setConnection(&c);
    ds.statement().add(QStringLiteral("select * from menu"));
    ds.open();
    QVERIFY(!ds.canModify());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.edit());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.append());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRecord());
    QCOMPARE(ds.recordCount(), 1);
    ds.close();
    c.close();
    QCOMPARE(readAll(db.path()), before);
    QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestFaults::writerWaitsThenFailsCleanly() {
    TestDatabase db;
    auto holder = db.openAnother();
    QCOMPARE(sqlite3_exec(holder->handle(), "BEGIN IMMEDIATE; INSERT INTO menu (men_name) VALUES ('held')",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    db.connection().setBusyTimeoutMs(300);
    QElapsedTimer timer;
    timer.start();
    try {
        db.exec(QStringLiteral("INSERT INTO menu (men_name) VALUES (?)"), {QStringLiteral("waiting")});
        QFAIL("wrote through another connection's lock");
    } catch (const DbError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("locked")), qPrintable(e.message()));
        QCOMPARE(e.code() & 0xff, SQLITE_BUSY);
    }
    QVERIFY2(timer.elapsed() >= 250, qPrintable(QString::number(timer.elapsed())));
    // The failed writer holds nothing: the holder commits and later writes go through.
    QCOMPARE(sqlite3_exec(holder->handle(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    db.exec(QStringLiteral("INSERT INTO menu (men_name) VALUES (?)"), {QStringLiteral("after")});
    QCOMPARE(db.scalar(QStringLiteral("select group_concat(men_name, ',') from menu")).toString(),
             QStringLiteral("held,after"));
}

void TestFaults::writerWaitsForAShortLock() {
    TestDatabase db;
    QProcess holder;
    holder.start(QStringLiteral(KELVARO_DATA_HELPER),
                 {QStringLiteral("hold"), db.path(), QStringLiteral("400")});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));
    db.connection().setBusyTimeoutMs(10000);
    // Stored after the holder's row: the writer waited for the lock instead of failing.
    db.exec(QStringLiteral("INSERT INTO menu (men_name) VALUES (?)"), {QStringLiteral("waited")});
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select group_concat(men_name, ',') from menu")).toString(),
             QStringLiteral("held,waited"));
}

void TestFaults::severalProcessesWriteAtOnce() {
    QFETCH(EngineKind, engine);
    TestDatabase db(engine);
    const int processes = 4, lines = 150;
    std::vector<std::unique_ptr<QProcess>> running;
    for (int p = 0; p < processes; ++p) {
        auto proc = std::make_unique<QProcess>();
        proc->start(
            QStringLiteral(KELVARO_DATA_HELPER),
            {QStringLiteral("insert"), db.path(), QString::number(lines), QStringLiteral("p%1").arg(p)});
        running.push_back(std::move(proc));
    }
    for (auto &proc : running) {
        QVERIFY(proc->waitForFinished(120000));
        QVERIFY2(proc->exitCode() == 0, proc->readAllStandardError().constData());
    }
    Statement st;
    st.add(QStringLiteral("select ord_id, ord_note from ordern order by ord_id"));
    const ResultSet rs = db.connection().select(st);
    QCOMPARE(rs.rowCount(), processes * lines);
    QHash<QString, int> lastSeen;
    qint64 previous = 0;
    for (int r = 0; r < rs.rowCount(); ++r) {
        const qint64 id = rs.value(r, 0).toLongLong();
        QVERIFY(id > previous); // unique and increasing
        previous = id;
        // Each process's lines are stored in the order it wrote them.
        const QStringList note = rs.value(r, 1).toString().split(QLatin1Char('-'));
        const int n = note[1].toInt();
        QCOMPARE(n, lastSeen.value(note[0], -1) + 1);
        lastSeen[note[0]] = n;
    }
    if (engine == EngineKind::Sqlite)
        QCOMPARE(db.scalar(QStringLiteral("pragma integrity_check")).toString(), QStringLiteral("ok"));
}

void TestFaults::openDatasetHoldsNoLock() {
    QFETCH(EngineKind, engine);
    TestDatabase db(engine);
    for (int i = 0; i < 300; ++i)
        db.addMenu(QStringLiteral("店"), QStringLiteral("茶類"), QStringLiteral("品%1").arg(i),
                   QStringLiteral("中"), 30);
    Dataset ds(QStringLiteral("ds"));
    ds.setConnection(&db.connection());
    ds.statement().add(QStringLiteral("select * from menu"));
    ds.open();
    ds.next();
    // Another copy writes at once, without waiting: the dataset keeps no read open.
    auto other = db.openAnother();
    other->setBusyTimeoutMs(0);
    Statement st;
    st.add(QStringLiteral("DELETE FROM menu"));
    QCOMPARE(other->execute(st), 300);
    QCOMPARE(ds.recordCount(), 300);
    QCOMPARE(ds.fieldByName(QStringLiteral("men_name"))->asString(), QStringLiteral("品1"));
}

void TestFaults::oddCharactersInThePath() {
    // The file is opened through a URI: characters with a meaning there must stay plain.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("共用 #1 ?%20"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/訂單 資料.mdb");
    Schema::createDatabase(path);
    Connection c;
    c.setDatabaseFile(path);
    c.open();
    Statement st;
    st.add(QStringLiteral("INSERT INTO menu (men_name) VALUES ('x')"));
    QCOMPARE(c.execute(st), 1);
    c.close();
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("訂單 資料.mdb")});
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList{QStringLiteral("共用 #1 ?%20")});
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
