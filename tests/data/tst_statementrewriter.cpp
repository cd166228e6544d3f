#include "DbError.h"
#include "StatementRewriter.h"
#include "TestDatabase.h"
#include "ValueConverter.h"

#include <QTest>

//! The statement text the engine gets: date literals and the key column.
class TestStatementRewriter : public QObject {
    Q_OBJECT
private slots:
    void dateLiteralsBecomeIsoText();
    void dateLiteralsSelectTheirDay();
    void keyColumnGoesFirst();
};

void TestStatementRewriter::dateLiteralsBecomeIsoText() {
    LocaleFormats dotted;
    dotted.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    dotted.dateSeparator = QLatin1Char('.');
    const ValueConverter converter(dotted);
    auto translate = [&](const char *text) {
        return StatementRewriter::translateDateLiterals(QString::fromUtf8(text), converter);
    };
    QCOMPARE(translate("select * from ordern where ord_date = #22.12.2005#\r\n"),
             QStringLiteral("select * from ordern where ord_date = '2005-12-22'\r\n"));
    // Year first, and the old dialect's month/day/year, whatever the short date format.
    QCOMPARE(translate("x = #2005/12/22# or y = #12/23/2005#"),
             QStringLiteral("x = '2005-12-22' or y = '2005-12-23'"));
    // Inside quotes a # is just a character; text without one is left as it is.
    QCOMPARE(translate("select '#1#', \"a#b#\" where n = #2026/01/02#"),
             QStringLiteral("select '#1#', \"a#b#\" where n = '2026-01-02'"));
    QCOMPARE(translate("select 1"), QStringLiteral("select 1"));
    // A negative year is a date to the month/day/year reading, but no day a column holds.
    for (const char *bad :
         {"where d = #soon#", "where d = #2026/13/01#", "where d = #2026/01/01", "where d = #11/2/-9999#"}) {
        try {
            translate(bad);
            QFAIL(bad);
        } catch (const DbError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Syntax error in date")), qPrintable(e.message()));
            QCOMPARE(e.statement(), QString::fromUtf8(bad));
        }
    }
}

void TestStatementRewriter::dateLiteralsSelectTheirDay() {
    TestDatabase db;
    for (const char *day : {"2026/12/09", "2026/12/10"})
        db.exec(QStringLiteral("INSERT INTO ordern (ord_date) VALUES (?)"),
                {db.connection().convertFor(QStringLiteral("ord_date"), QString::fromLatin1(day))});
    QCOMPARE(
        db.scalar(QStringLiteral("select count(*) from ordern where ord_date = #2026/12/09#")).toLongLong(),
        1);
    QCOMPARE(
        db.scalar(QStringLiteral("select count(*) from ordern where ord_date = #12/10/2026#")).toLongLong(),
        1);
    QCOMPARE(db.scalar(QStringLiteral("select '#1#'")).toString(), QStringLiteral("#1#"));
    QVERIFY_THROWS_EXCEPTION(
        DbError, db.scalar(QStringLiteral("select count(*) from ordern where ord_date = #soon#")));
    QVERIFY_THROWS_EXCEPTION(
        DbError, db.scalar(QStringLiteral("select count(*) from ordern where ord_date = #2026/0012/0009#")));
    QVERIFY_THROWS_EXCEPTION(
        DbError, db.scalar(QStringLiteral("select count(*) from ordern where ord_date = #2026/12-09#")));
}

void TestStatementRewriter::keyColumnGoesFirst() {
    QCOMPARE(StatementRewriter::withKeyColumn(QStringLiteral("\r\n  SELECT men_name\r\nfrom menu\r\n"),
                                              QStringLiteral("menu.rowid")),
             QStringLiteral("\r\n  SELECT menu.rowid, men_name\r\nfrom menu\r\n"));
    QCOMPARE(
        StatementRewriter::withKeyColumn(QStringLiteral("select\r\n*\r\nfrom menu"), QStringLiteral("rowid")),
        QStringLiteral("select\r\nrowid, *\r\nfrom menu"));
    QVERIFY(StatementRewriter::withKeyColumn(QStringLiteral("with t as (select 1) select * from t"),
                                             QStringLiteral("rowid"))
                .isEmpty());
    QVERIFY(StatementRewriter::withKeyColumn(QStringLiteral("selected"), QStringLiteral("rowid")).isEmpty());
}

QTEST_GUILESS_MAIN(TestStatementRewriter)
#include "tst_statementrewriter.moc"
