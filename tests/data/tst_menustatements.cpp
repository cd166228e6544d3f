// The menu page's statement without widgets: one menu item stored with its values bound, the
// cup size by index, and refused whole when a value does not fit.
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "MenuStatements.h"
#include "TestDatabase.h"

#include <QTest>

using namespace MenuStatements;

class TestMenuStatements : public EngineTestCase {
    Q_OBJECT
private slots:
    void itemsStoredAsTyped();
    void refusedItemStoresNothing();

private:
    QList<QVariantList> items(TestDatabase &db);
};

QList<QVariantList> TestMenuStatements::items(TestDatabase &db) {
    Statement st;
    st.add(QStringLiteral(
        "select men_merchant, men_type, men_name, men_cap, men_price from menu order by men_id"));
    const ResultSet rs = db.connection().select(st);
    QList<QVariantList> out;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < rs.columnCount(); ++c)
            row << rs.value(r, c);
        out << row;
    }
    return out;
}

void TestMenuStatements::itemsStoredAsTyped() {
    TestDatabase db(engine());
    Dataset query(QStringLiteral("ADOQuery_SET"));
    query.setConnection(&db.connection());

    const MenuItem quoted{QStringLiteral("Joe's \"Tea\""), QStringLiteral("茶類'); --"),
                          QStringLiteral("紅茶"), 2, QStringLiteral(" 35 ")};
    addItem(query, quoted);
    QVERIFY(!query.isActive());
    QCOMPARE(query.statement().lines(),
             (QStringList{QStringLiteral("INSERT INTO menu "),
                          QStringLiteral("(men_merchant , men_type , men_name , men_cap , men_price ) "),
                          QStringLiteral("VALUES ("), QStringLiteral(" ? ,"), QStringLiteral(" ? ,"),
                          QStringLiteral(" ? ,"), QStringLiteral(" '大' ,"), QStringLiteral(" ? )")}));
    QStringList bound;
    for (const Statement::Param &p : query.statement().params())
        bound << p.column + QLatin1Char('=') + p.value.toString();
    QCOMPARE(bound,
             (QStringList{QStringLiteral("men_merchant=Joe's \"Tea\""), QStringLiteral("men_type=茶類'); --"),
                          QStringLiteral("men_name=紅茶"), QStringLiteral("men_price= 35 ")}));

    // The same item twice is two items; the other cup sizes; empty texts go in as empty texts,
    // and texts as long as their columns fit.
    addItem(query, quoted);
    addItem(query, {QString(), QString(), QString(), 0, QStringLiteral("0")});
    addItem(query,
            {QString(30, QChar(u'店')), QStringLiteral("t"), QStringLiteral("n"), 1, QStringLiteral("-5")});

    const QList<QVariantList> rows = items(db);
    QCOMPARE(rows.size(), 4);
    const QVariantList first{QStringLiteral("Joe's \"Tea\""), QStringLiteral("茶類'); --"),
                             QStringLiteral("紅茶"), QStringLiteral("大"), qint64(35)};
    QCOMPARE(rows.at(0), first);
    QCOMPARE(rows.at(1), first);
    QCOMPARE(rows.at(2), (QVariantList{QString(), QString(), QString(), QStringLiteral("小"), qint64(0)}));
    QVERIFY(!rows.at(2).at(0).isNull());
    QCOMPARE(rows.at(3).at(3), QVariant(QStringLiteral("中")));
    QCOMPARE(rows.at(3).at(4), QVariant(qint64(-5)));
}

void TestMenuStatements::refusedItemStoresNothing() {
    TestDatabase db(engine());
    Dataset query(QStringLiteral("ADOQuery_SET"));
    query.setConnection(&db.connection());
    const MenuItem good{QStringLiteral("CoCo"), QStringLiteral("茶類"), QStringLiteral("綠茶"), 0,
                        QStringLiteral("30")};
    const QString tooLong(31, QChar(u'茶'));
    const QList<MenuItem> refused{
        {good.shop, good.category, good.name, 0, QStringLiteral("abc")},
        {good.shop, good.category, good.name, 0, QString()},
        {good.shop, good.category, good.name, 0, QStringLiteral("30.5")},
        {good.shop, good.category, good.name, 0, QStringLiteral("9999999999")},
        {tooLong, good.category, good.name, 0, good.price},
        {good.shop, tooLong, good.name, 0, good.price},
        {good.shop, good.category, tooLong, 0, good.price},
        {good.shop, good.category, good.name, 3, good.price},
        {good.shop, good.category, good.name, -1, good.price},
    };
    for (const MenuItem &item : refused) {
        QVERIFY_THROWS_EXCEPTION(DbError, addItem(query, item));
        QVERIFY(items(db).isEmpty());
    }
    // A refusal leaves nothing behind: the next item goes in as usual.
    addItem(query, good);
    QCOMPARE(items(db).size(), 1);

    // The engine's own failure leaves as DbError too.
    db.exec(QStringLiteral("alter table menu rename to menu_gone"));
    QVERIFY_THROWS_EXCEPTION(DbError, addItem(query, good));
}

QTEST_GUILESS_MAIN(TestMenuStatements)
#include "tst_menustatements.moc"
