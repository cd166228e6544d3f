// The PostgreSQL engine's own behaviour: its schema and what check finds wrong in it, the
// neutral categories of its failures, a lock held by another session, and a connection the
// server ended being opened again without storing anything twice (within a transaction: reported).
#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "Engine.h"
#include "PostgresCluster.h"
#include "ResultSet.h"
#include "Schema.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QTest>
#include <csignal>

class TestServerEngine : public QObject {
    Q_OBJECT
private slots:
    void schemaIsMadeOnceAndChecked();
    void textRulesAreTriedNotTakenByName();
    void failuresCarryTheirCategory();
    void lockedRowsWaitThenReportBusy();
    void lostConnectionIsOpenedAgain();
    void settingsOfTheUrlHoldBesideOurs();
    void rolesThatMayNotWriteOpenReadOnly();

private:
    static DbError::Category categoryOf(Connection &c, const QString &sql, const QVariantList &values);
    static int count(TestDatabase &db, const QString &table);
};

DbError::Category TestServerEngine::categoryOf(Connection &c, const QString &sql,
                                               const QVariantList &values) {
    Statement st;
    st.add(sql);
    for (const QVariant &v : values)
        st.bind(v);
    try {
        c.execute(st);
    } catch (const DbError &e) {
        return e.category();
    }
    return DbError::Category::Other;
}

int TestServerEngine::count(TestDatabase &db, const QString &table) {
    return db.scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
}

void TestServerEngine::schemaIsMadeOnceAndChecked() {
    TestDatabase db(EngineKind::Postgres);
    QCOMPARE(db.connection().schemaProblems(), QStringList());
    // A database that holds anything is left alone.
    QVERIFY_THROWS_EXCEPTION(DbError, Engine::createDatabase(db.path()));
    QCOMPARE(db.connection().schemaProblems(), QStringList());

    // Keys are the server's: always larger, never reused, never given.
    const qint64 first =
        db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("a"), QStringLiteral("中"), 1);
    db.exec(QStringLiteral("delete from menu"));
    const qint64 second =
        db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("b"), QStringLiteral("中"), 1);
    QVERIFY(second > first);
    QCOMPARE(categoryOf(db.connection(),
                        QStringLiteral("insert into menu (men_id, men_name) values (?, 'x')"), {second + 1}),
             DbError::Category::Other);

    // What check reports once the schema is not ours any more.
    db.exec(QStringLiteral("alter table customer drop constraint cus_name_len"));
    db.exec(QStringLiteral("alter table ordern alter column ord_time type time"));
    db.exec(QStringLiteral("drop index customer_number"));
    // A check that is there by name but holds less than ours: a larger size, trailing spaces not
    // counted (char_length of bpchar), a date check gone, a time check that lets seconds in.
    db.exec(QStringLiteral("alter table customer drop constraint cus_group_len, add constraint cus_group_len "
                           "check (char_length(concat(cus_group)) <= 200)"));
    db.exec(QStringLiteral("alter table menu drop constraint men_name_len, add constraint men_name_len "
                           "check (char_length(men_name) <= 30)"));
    db.exec(QStringLiteral("alter table ordern drop constraint ord_date_iso"));
    db.exec(QStringLiteral("alter table ordern drop constraint ord_time_minute, add constraint "
                           "ord_time_minute check (ord_time < '24:00')"));
    const QStringList problems = db.connection().schemaProblems();
    const QString all = problems.join(QLatin1Char(' '));
    QCOMPARE(problems.size(), 7);
    for (const char *named : {"cus_name_len", "ord_time", "not unique", "cus_group_len", "men_name_len",
                              "ord_date_iso", "ord_time_minute"})
        QVERIFY2(all.contains(QLatin1String(named)), named);
    Connection again;
    again.setDatabaseFile(db.path());
    QVERIFY_THROWS_EXCEPTION(DbError, again.open());
    QVERIFY(!again.isOpen());

    // Messages name the database a URL gives, never the password it carries, in either spelling.
    const QString withPassword = QString(db.path()).replace(QStringLiteral("@"), QStringLiteral(":pw-1@"));
    for (const QString &url : {withPassword, withPassword + QStringLiteral("?password=pw-2"),
                               withPassword + QStringLiteral("_missing?sslmode=disable&password=pw-3"),
                               withPassword + QStringLiteral("?password")}) {
        Connection other;
        other.setDatabaseFile(url);
        try {
            other.open();
            QFAIL("opened a database that is not ours");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("postgresql://")), qPrintable(e.message()));
            QVERIFY2(!e.message().contains(QStringLiteral("pw-")), qPrintable(e.message()));
        }
    }
}

void TestServerEngine::textRulesAreTriedNotTakenByName() {
    // The collation and the unique account rule under their own names, but comparing otherwise:
    // check tries them on texts they must and must not tell apart.
    TestDatabase db(EngineKind::Postgres);
    const auto problemsAfter = [&](const QStringList &sql) {
        for (const QString &s : sql)
            db.exec(s);
        return db.connection().schemaProblems().join(QLatin1Char(' '));
    };
    const QString index = QStringLiteral("create unique index customer_number on customer "
                                         "((rtrim(cus_number::text, U&' \\3000') COLLATE ktext)");
    const QString drop = QStringLiteral("drop index customer_number");
    // Accents ignored (level 1): café would equal cafe.
    QStringList recollate;
    QStringList back;
    for (const TableInfo &t : Schema::tables())
        for (const ColumnInfo &c : t.columns)
            if (c.kind == ColumnKind::Text) {
                recollate << QStringLiteral("alter table %1 alter column %2 type bpchar collate \"C\"")
                                 .arg(t.name, c.name);
                back << QStringLiteral("alter table %1 alter column %2 type bpchar collate ktext")
                            .arg(t.name, c.name);
            }
    QStringList level1{drop};
    level1 << recollate << QStringLiteral("drop collation ktext")
           << QStringLiteral("create collation ktext (provider = icu, locale = 'und-u-ks-level1', "
                             "deterministic = false)")
           << back << index + QLatin1Char(')');
    QVERIFY(problemsAfter(level1).contains(QStringLiteral("ktext")));
    db.exec(drop);
    db.exec(index + QLatin1Char(')'));
    // Unique, but case-sensitive, or for some accounts only, or with the password beside it.
    for (const QString &unique :
         {QStringLiteral(
              "create unique index customer_number on customer ((rtrim(cus_number::text)) collate \"C\")"),
          index + QStringLiteral(") where cus_leve = 3"), index + QStringLiteral(", cus_password)"),
          QStringLiteral("create unique index customer_number on customer (cus_number)")}) {
        const QString problems = problemsAfter({drop, unique});
        QVERIFY2(problems.contains(QStringLiteral("not unique")), qPrintable(unique));
    }
}

void TestServerEngine::failuresCarryTheirCategory() {
    TestDatabase db(EngineKind::Postgres);
    Connection &c = db.connection();
    using C = DbError::Category;
    // Values that bypass the converter reach the server's own checks.
    QCOMPARE(categoryOf(c, QStringLiteral("insert into customer (cus_number, cus_name) values ('a', ?)"),
                        {QStringLiteral("一二三四五六七八九")}),
             C::TooLong);
    QCOMPARE(categoryOf(c, QStringLiteral("insert into ordern (ord_date) values (?)"),
                        {QStringLiteral("2026-02-30")}),
             C::BadValue);
    QCOMPARE(categoryOf(c, QStringLiteral("insert into ordern (ord_time) values (?)"),
                        {QStringLiteral("13:05:30")}),
             C::BadValue);
    QCOMPARE(
        categoryOf(c, QStringLiteral("insert into ordern (ord_pric) values (?)"), {QStringLiteral("12.5")}),
        C::BadValue);
    db.exec(QStringLiteral("insert into customer (cus_number, cus_name) values ('Admin', 'x')"));
    try {
        db.exec(QStringLiteral("insert into customer (cus_number, cus_name) values (?, 'y')"),
                {QStringLiteral("ＡＤＭＩＮ　")});
        QFAIL("a second Admin was stored");
    } catch (const DbError &e) {
        QCOMPARE(e.category(), C::Duplicate);
        QCOMPARE(e.engineCode(), QStringLiteral("23505"));
    }
    QCOMPARE(count(db, QStringLiteral("customer")), 1);
    QCOMPARE(count(db, QStringLiteral("ordern")), 0);
    // Dates and times read as the file holds them; a sum over no rows is empty.
    db.addOrderLine(QStringLiteral("綠茶"), QStringLiteral("中"), 30, QStringLiteral("店"), QString(),
                    QStringLiteral("amy"), QDate(2026, 12, 9), QTime(13, 5));
    QCOMPARE(db.scalar(QStringLiteral("select ord_date from ordern")).toString(),
             QStringLiteral("2026-12-09"));
    QCOMPARE(db.scalar(QStringLiteral("select ord_time from ordern")).toString(), QStringLiteral("13:05"));
    QCOMPARE(
        db.scalar(QStringLiteral("select ord_id from ordern where ord_date = #2026/12/09#")).toLongLong(),
        c.lastInsertId());
    QCOMPARE(db.scalar(QStringLiteral("select Sum(ord_pric) from ordern where ord_date = #2026/12/10#"))
                 .toString(),
             QString());
}

void TestServerEngine::lockedRowsWaitThenReportBusy() {
    TestDatabase db(EngineKind::Postgres);
    const qint64 key =
        db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("a"), QStringLiteral("中"), 1);
    // Another session holds the row for two seconds.
    QProcess holder;
    holder.start(QStringLiteral("psql"),
                 {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-d"), db.path(),
                  QStringLiteral("-c"),
                  QStringLiteral("BEGIN; UPDATE menu SET men_price = 2; SELECT pg_sleep(2); COMMIT;")});
    QVERIFY(holder.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(
        db.scalar(QStringLiteral("select count(*) from pg_locks l join pg_class c on c.oid = "
                                 "l.relation where c.relname = 'menu' and l.mode = "
                                 "'RowExclusiveLock' and l.pid <> pg_backend_pid()"))
            .toInt(),
        1, 5000);
    // No wait at all, where the server's own 0 would mean waiting for ever.
    for (const int ms : {100, 0}) {
        db.connection().setBusyTimeoutMs(ms);
        try {
            db.exec(QStringLiteral("update menu set men_price = 3 where men_id = ?"), {key});
            QFAIL("the held row was written");
        } catch (const DbError &e) {
            QCOMPARE(e.category(), DbError::Category::Busy);
        }
    }
    // Reading and inserting do not wait for the held row.
    QCOMPARE(db.scalar(QStringLiteral("select men_price from menu")).toInt(), 1);
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("b"), QStringLiteral("中"), 1);
    db.connection().setBusyTimeoutMs(10000);
    db.exec(QStringLiteral("update menu set men_price = 3 where men_id = ?"), {key});
    QVERIFY(holder.waitForFinished(10000));
    QCOMPARE(db.scalar(QStringLiteral("select men_price from menu where men_id = ?"), {key}).toInt(), 3);
}

void TestServerEngine::lostConnectionIsOpenedAgain() {
    TestDatabase db(EngineKind::Postgres);
    const auto endOtherSessions = [&] {
        PostgresCluster::instance().psql(
            QStringLiteral("postgres"),
            QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                           "WHERE application_name = 'kelvaro'"));
    };
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("a"), QStringLiteral("中"), 1);
    endOtherSessions();
    QCOMPARE(count(db, QStringLiteral("menu")), 1);
    endOtherSessions();
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("b"), QStringLiteral("中"), 1);
    QCOMPARE(count(db, QStringLiteral("menu")), 2);

    // A dataset's post and delete reach the table by key over the new session.
    Dataset menu(QStringLiteral("ADODataSet1"));
    menu.setConnection(&db.connection());
    menu.statement().add(QStringLiteral("select men_name, men_price from menu order by men_id"));
    menu.open();
    QVERIFY(menu.canModify());
    endOtherSessions();
    menu.edit();
    menu.fieldByName(QStringLiteral("men_price"))->setValue(7);
    menu.post();
    menu.last();
    menu.deleteRecord();
    QCOMPARE(db.scalar(QStringLiteral("select men_name || '/' || men_price from menu")).toString(),
             QStringLiteral("a/7"));

    // A session the server ends with a warning only (another server process died, or an immediate
    // restart): the next read runs again over a new session.
    const auto crash = [&] {
        // The test server commits without waiting for the disk: a checkpoint makes it all last.
        PostgresCluster::instance().psql(QStringLiteral("postgres"), QStringLiteral("CHECKPOINT"));
        auto other = db.openAnother();
        Statement pid;
        pid.add(QStringLiteral("select pg_backend_pid()"));
        QCOMPARE(::kill(pid_t(other->select(pid).value(0, 0).toLongLong()), SIGKILL), 0);
        for (int tries = 0; tries < 1000; ++tries) {
            QTest::qWait(10);
            Connection probe;
            probe.setDatabaseFile(db.path());
            try {
                probe.open();
                return;
            } catch (const DbError &) {
            }
        }
        QFAIL("the server did not come back");
    };
    crash();
    QCOMPARE(count(db, QStringLiteral("menu")), 1);
    // A write finds the session ended before it leaves, so it goes over a new one, stored once.
    crash();
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("c"), QStringLiteral("中"), 1);
    QCOMPARE(count(db, QStringLiteral("menu")), 2);
    // Within a transaction a lost session is reported, never opened again: the first insert went
    // with it, and the second must not be stored without it.
    try {
        db.connection().inTransaction([&] {
            db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("d"), QStringLiteral("中"),
                       1);
            endOtherSessions();
            db.addMenu(QStringLiteral("店"), QStringLiteral("茶"), QStringLiteral("e"), QStringLiteral("中"),
                       1);
        });
        QFAIL("a transaction outlived its session");
    } catch (const DbError &e) {
        QCOMPARE(e.category(), DbError::Category::ConnectionLost);
    }
    QCOMPARE(
        db.scalar(QStringLiteral("select string_agg(men_name, ',' order by men_id) from menu")).toString(),
        QStringLiteral("a,c"));

    // A server that is gone is reported as a lost connection, once, and nothing is stored.
    Connection lost;
    lost.setDatabaseFile(PostgresCluster::instance().url(QStringLiteral("no_such_database")));
    try {
        lost.open();
        QFAIL("opened a database that does not exist");
    } catch (const DbError &e) {
        QCOMPARE(e.category(), DbError::Category::ConnectionLost);
    }
}

void TestServerEngine::settingsOfTheUrlHoldBesideOurs() {
    // An office given a schema of its own in a shared database names it in the URL; the URL's
    // settings hold, except those every session needs as ours (the date style among them).
    TestDatabase db(EngineKind::Postgres);
    db.exec(QStringLiteral("create schema kv"));
    // The scheme in any letter case, as the database option takes it.
    const QString url =
        QString(db.path()).replace(QStringLiteral("postgresql://"), QStringLiteral("PostgreSQL://")) +
        QStringLiteral("?application_name=office&options=-c%20search_path%3Dkv"
                       "%20-c%20DateStyle%3DSQL,DMY%20-c%20lock_timeout%3D0");
    Engine::createDatabase(url);
    Connection c;
    c.setDatabaseFile(url);
    c.setBusyTimeoutMs(1234);
    c.open();
    Statement add;
    add.add(QStringLiteral("INSERT INTO menu (men_name) VALUES ('kv')"));
    c.execute(add);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from kv.menu")).toInt(), 1);
    QCOMPARE(count(db, QStringLiteral("menu")), 0);
    Statement settings;
    settings.add(QStringLiteral("SELECT current_schema(), current_setting('DateStyle'), "
                                "current_setting('lock_timeout'), current_setting('application_name')"));
    const ResultSet rs = c.select(settings);
    QCOMPARE(rs.value(0, 0).toString(), QStringLiteral("kv"));
    QCOMPARE(rs.value(0, 1).toString(), QStringLiteral("ISO, YMD"));
    QCOMPARE(rs.value(0, 2).toString(), QStringLiteral("1234ms"));
    QCOMPARE(rs.value(0, 3).toString(), QStringLiteral("office"));
}

void TestServerEngine::rolesThatMayNotWriteOpenReadOnly() {
    // A role the server keeps read-only, and one granted reading only: each opens as a read-only
    // file does, nothing offered for editing and nothing written; a role that may write does not.
    TestDatabase db(EngineKind::Postgres);
    db.addMenu(QStringLiteral("店"), QStringLiteral("茶類"), QStringLiteral("綠茶"), QStringLiteral("中"),
               30);
    QVERIFY(!db.connection().isReadOnly());
    for (const char *role : {"office_reader", "office_viewer"})
        db.exec(QStringLiteral("create role %1 login").arg(QLatin1String(role)));
    db.exec(QStringLiteral("grant usage on schema public to office_reader, office_viewer"));
    db.exec(
        QStringLiteral("grant select, insert, update, delete on customer, menu, ordern to office_reader"));
    db.exec(QStringLiteral("alter role office_reader set default_transaction_read_only = on"));
    db.exec(QStringLiteral("grant select on customer, menu, ordern to office_viewer"));
    // Every role of the program's reads the schema's version.
    db.exec(QStringLiteral("grant select on kelvaro_schema to office_reader, office_viewer"));
    const QString user = db.path().section(QLatin1Char('@'), 0, 0).section(QLatin1Char('/'), -1);
    for (const char *role : {"office_reader", "office_viewer"}) {
        Connection c;
        c.setDatabaseFile(
            QString(db.path()).replace(user + QLatin1Char('@'), QLatin1String(role) + QLatin1Char('@')));
        c.open();
        QVERIFY2(c.isReadOnly(), role);
        Dataset ds(QStringLiteral("ds"));
        ds.setConnection(&c);
        ds.statement().add(QStringLiteral("select * from menu"));
        ds.open();
        QVERIFY(!ds.canModify());
        QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRecord());
        QCOMPARE(categoryOf(c, QStringLiteral("INSERT INTO menu (men_name) VALUES ('x')"), {}),
                 DbError::Category::Other);
        QCOMPARE(count(db, QStringLiteral("menu")), 1);
    }
    db.exec(QStringLiteral("alter role office_reader reset default_transaction_read_only"));
    db.exec(QStringLiteral("drop owned by office_reader, office_viewer"));
}

QTEST_GUILESS_MAIN(TestServerEngine)
#include "tst_serverengine.moc"
