// The schema's versions and the upgrade, on both engines, from a database that release 1.0.6
// made (kept under tests/data/fixtures: the file itself, and a server database as pg_dump wrote
// it): every row survives, a failed upgrade leaves the database as it was, and a database of
// another version is never opened by the program nor written.
#include "Connection.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "PostgresCluster.h"
#include "Schema.h"
#include "SchemaUpgrade.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

//! The database release 1.0.6 left, loaded fresh: a copy of the kept file, or the kept dump
//! loaded into the test program's server database.
QString loadFirstRelease(EngineKind engine, const QTemporaryDir &dir) {
    if (engine == EngineKind::Postgres) {
        PostgresCluster &cluster = PostgresCluster::instance();
        cluster.emptyDatabase();
        cluster.load(QStringLiteral(KELVARO_FIXTURES "/release-1.0.6.sql"));
        return cluster.databaseUrl();
    }
    const QString path = dir.filePath(QStringLiteral("kelvaro.mdb"));
    if (!QFile::copy(QStringLiteral(KELVARO_FIXTURES "/release-1.0.6.mdb"), path) ||
        !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        qFatal("cannot copy the kept database");
    return path;
}

std::unique_ptr<Connection> openAnyVersion(const QString &database) {
    auto c = std::make_unique<Connection>();
    c->setDatabaseFile(database);
    c->setAnySchemaVersion(true);
    c->open();
    return c;
}

//! Every row of every table of version 1, as text, in key order: what an upgrade must keep.
QStringList firstVersionRows(Connection &c) {
    QStringList out;
    for (const TableInfo &t : Schema::tables(1)) {
        QStringList columns;
        for (const ColumnInfo &col : t.columns)
            columns << col.name;
        Statement st;
        st.add(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                   .arg(columns.join(QStringLiteral(", ")), t.name, columns.first()));
        const ResultSet rs = c.select(st);
        for (int r = 0; r < rs.rowCount(); ++r) {
            QStringList cells{t.name};
            for (int i = 0; i < rs.columnCount(); ++i)
                cells << (rs.isNull(r, i) ? QStringLiteral("<null>") : rs.value(r, i).toString());
            out << cells.join(QLatin1Char('|'));
        }
    }
    return out;
}

//! What a failed or refused change must leave alone: the file's bytes, or on a server its
//! version, its tables and every row.
QString stateOf(const QString &database) {
    if (!Connection::isServer(database)) {
        QFile f(database);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().toBase64()) : QString();
    }
    auto c = openAnyVersion(database);
    Statement tables;
    tables.add(QStringLiteral("SELECT string_agg(relname::text, ',' ORDER BY relname) FROM pg_class "
                              "WHERE relnamespace = current_schema()::text::regnamespace"));
    return QStringLiteral("%1 %2 %3")
        .arg(c->schemaVersion())
        .arg(c->select(tables).value(0, 0).toString(), firstVersionRows(*c).join(QLatin1Char('\n')));
}

DbError::Category refusalOf(const QString &database) {
    Connection c;
    c.setDatabaseFile(database);
    try {
        c.open();
    } catch (const DbError &e) {
        return e.category();
    }
    return DbError::Category::Other;
}

} // namespace

class TestUpgrade : public EngineTestCase {
    Q_OBJECT
private slots:
    void upgradesTheFirstRelease();
    void failedUpgradeLeavesItAsItWas_data();
    void failedUpgradeLeavesItAsItWas();
    void newerDatabaseIsRefused();
};

void TestUpgrade::upgradesTheFirstRelease() {
    QTemporaryDir dir;
    const QString database = loadFirstRelease(engine(), dir);
    const QString before = stateOf(database);
    // The program refuses it, and writes nothing.
    QCOMPARE(refusalOf(database), DbError::Category::OlderSchema);
    QCOMPARE(stateOf(database), before);

    auto c = openAnyVersion(database);
    QCOMPARE(c->schemaVersion(), 1);
    QVERIFY(c->schemaProblems().isEmpty());
    const QStringList rows = firstVersionRows(*c);
    QVERIFY(rows.size() > 50);
    const QStringList ran = SchemaUpgrade::run(*c);
    QCOMPARE(ran.size(), int(SchemaSteps::all().size()));
    QCOMPARE(c->schemaVersion(), Schema::CurrentVersion);
    QCOMPARE(c->schemaProblems(), QStringList());
    QCOMPARE(firstVersionRows(*c), rows);
    // Nothing more to do the second time.
    QCOMPARE(SchemaUpgrade::run(*c), QStringList());
    c->close();

    // The program opens it now, and the upgraded database is the one a new database is.
    Connection program;
    program.setDatabaseFile(database);
    program.open();
    QCOMPARE(firstVersionRows(program), rows);
    Statement add;
    add.add(QStringLiteral(
        "INSERT INTO ordern (ord_name, ord_pric, ord_date) VALUES ('綠茶', 25, '2026-12-10')"));
    QCOMPARE(program.execute(add), 1);
}

void TestUpgrade::failedUpgradeLeavesItAsItWas_data() {
    QTest::addColumn<int>("failure");
    QTest::newRow("a step fails after writing") << 0;
    QTest::newRow("a step leaves a schema that is not ours") << 1;
}

void TestUpgrade::failedUpgradeLeavesItAsItWas() {
    QFETCH(int, failure);
    QTemporaryDir dir;
    const QString database = loadFirstRelease(engine(), dir);
    const QString before = stateOf(database);
    QVector<SchemaStep> steps = SchemaSteps::all();
    if (failure == 0) {
        steps.append({Schema::CurrentVersion, "writes, then fails", [](Connection &c) {
                          c.runScript(QStringLiteral("CREATE TABLE half_done (x integer)"));
                          Statement st;
                          st.add(QStringLiteral("DELETE FROM ordern"));
                          c.execute(st);
                          throw DbError(QStringLiteral("injected failure"));
                      }});
    } else {
        steps.append({Schema::CurrentVersion, "drops a table",
                      [](Connection &c) { c.runScript(QStringLiteral("DROP TABLE menu")); }});
    }
    auto c = openAnyVersion(database);
    QVERIFY_THROWS_EXCEPTION(DbError, SchemaUpgrade::run(*c, steps));
    c->close();
    QCOMPARE(stateOf(database), before);
    QCOMPARE(refusalOf(database), DbError::Category::OlderSchema);
}

void TestUpgrade::newerDatabaseIsRefused() {
    QTemporaryDir dir;
    const QString database = loadFirstRelease(engine(), dir);
    {
        auto c = openAnyVersion(database);
        SchemaUpgrade::run(*c);
        c->inTransaction([&] { c->setSchemaVersion(Schema::CurrentVersion + 1); });
    }
    const QString before = stateOf(database);
    QCOMPARE(refusalOf(database), DbError::Category::NewerSchema);
    auto c = openAnyVersion(database);
    QVERIFY_THROWS_EXCEPTION(DbError, SchemaUpgrade::run(*c));
    c->close();
    QCOMPARE(stateOf(database), before);
}

QTEST_GUILESS_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
