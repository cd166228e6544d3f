// The catalog page's statements without widgets: the category and item lists with the shop
// and category bound and compared as the engine compares text, and one order line stored
// exactly as given, with the locale's date and time separators.
#include "CatalogStatements.h"
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "TestDatabase.h"

#include <QTest>

using namespace CatalogStatements;

class TestCatalogStatements : public EngineTestCase {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void categoriesAndItemsOfAShop();
    void orderLineStoredAsGiven();
    void orderLineRefusedStoresNothing_data();
    void orderLineRefusedStoresNothing();

private:
    QStringList column(Dataset &dataset, int field);
    QList<QVariantList> orderLines();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Dataset> m_categories;
    std::unique_ptr<Dataset> m_items;
    std::unique_ptr<Dataset> m_set;
};

void TestCatalogStatements::init() {
    m_db = std::make_unique<TestDatabase>(engine());
    const auto make = [this](const char *name) {
        auto ds = std::make_unique<Dataset>(QString::fromLatin1(name));
        ds->setConnection(&m_db->connection());
        return ds;
    };
    m_categories = make("ADOQuery1");
    m_categories->setFieldDefs({{QStringLiteral("men_type"), QStringLiteral("飲料分類"), 25}});
    m_items = make("ADOQuery2");
    m_set = make("ADOQuery_SET");
}

void TestCatalogStatements::cleanup() {
    m_categories.reset();
    m_items.reset();
    m_set.reset();
    m_db.reset();
}

QStringList TestCatalogStatements::column(Dataset &dataset, int field) {
    QStringList out;
    for (dataset.first(); !dataset.eof(); dataset.next())
        out << dataset.field(field)->asString();
    dataset.first();
    return out;
}

QList<QVariantList> TestCatalogStatements::orderLines() {
    Statement st;
    st.add(QStringLiteral("select ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, ord_date, "
                          "ord_time from ordern order by ord_id"));
    const ResultSet rs = m_db->connection().select(st);
    QList<QVariantList> out;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < rs.columnCount(); ++c)
            row << rs.value(r, c);
        out << row;
    }
    return out;
}

void TestCatalogStatements::categoriesAndItemsOfAShop() {
    const QString quoted = QStringLiteral("Joe's \"Tea\"");
    const struct {
        const char *shop, *type, *name;
        int price;
    } menu[] = {{"CoCo", "奶茶", "珍珠奶茶", 50},  {"coco", "茶類", "綠茶", 30},
                {"ＣＯＣＯ ", "茶類", "紅茶", 30}, {"CoCo", "ｔｅａ", "烏龍", 35},
                {"CoCo", "TEA ", "青茶", 35},      {"50嵐", "茶類", "四季春", 25}};
    for (const auto &m : menu)
        m_db->addMenu(QString::fromUtf8(m.shop), QString::fromUtf8(m.type), QString::fromUtf8(m.name),
                      QStringLiteral("中"), m.price);
    m_db->addMenu(quoted, QStringLiteral("It's"), QStringLiteral("\"Best\" tea"), QStringLiteral("大"), 40);

    // Every spelling of a shop lists its categories, grouped as the engine compares them.
    for (const QString &typed :
         {QStringLiteral("cOcO"), QStringLiteral("ＣｏＣｏ"), QStringLiteral("coco   ")}) {
        openCategories(*m_categories, typed);
        QCOMPARE(m_categories->statement().lines(),
                 (QStringList{QStringLiteral("select men_type from menu where "),
                              QStringLiteral("men_merchant = ? COLLATE KTEXT "),
                              QStringLiteral("group by men_type COLLATE KTEXT")}));
        QCOMPARE(m_categories->statement().params().size(), 1);
        QCOMPARE(m_categories->statement().params().at(0).value.toString(), typed);
        QCOMPARE(m_categories->recordCount(), 3);
        QCOMPARE(m_categories->recNo(), 1);
        QVERIFY(!m_categories->canModify());
    }
    const QStringList categories = column(*m_categories, 0);
    QVERIFY(categories.contains(QStringLiteral("奶茶")));
    QVERIFY(categories.contains(QStringLiteral("茶類")));

    // The items of a category, whichever spelling the group showed; name, cup size, price.
    const QString tea =
        categories.contains(QStringLiteral("TEA ")) ? QStringLiteral("TEA ") : QStringLiteral("ｔｅａ");
    openItems(*m_items, QStringLiteral("ＣｏＣｏ"), tea);
    QCOMPARE(m_items->statement().lines(),
             (QStringList{QStringLiteral("select men_name, men_cap, men_price from menu where "),
                          QStringLiteral("men_merchant = ? COLLATE KTEXT and "),
                          QStringLiteral("men_type = ? COLLATE KTEXT ")}));
    QCOMPARE(m_items->statement().params().size(), 2);
    QCOMPARE(m_items->statement().params().at(1).value.toString(), tea);
    QCOMPARE(m_items->fieldCount(), 3);
    QStringList names = column(*m_items, 0);
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("烏龍"), QStringLiteral("青茶")}));
    QCOMPARE(m_items->field(1)->asString(), QStringLiteral("中"));
    QCOMPARE(m_items->field(2)->asString(), QStringLiteral("35"));
    openItems(*m_items, QStringLiteral("coco"), QStringLiteral("茶類"));
    QCOMPARE(m_items->recordCount(), 2);

    // Quotes in a shop or category are compared as typed; statement-like text matches nothing.
    openCategories(*m_categories, quoted);
    QCOMPARE(column(*m_categories, 0), QStringList{QStringLiteral("It's")});
    openItems(*m_items, quoted, QStringLiteral("It's"));
    QCOMPARE(column(*m_items, 0), QStringList{QStringLiteral("\"Best\" tea")});
    for (const QString &typed : {QStringLiteral("\" or \"\"=\""), QStringLiteral("' or 1=1 --"), QString()}) {
        openCategories(*m_categories, typed);
        QVERIFY(m_categories->isActive());
        QCOMPARE(m_categories->recordCount(), 0);
        // An empty category list hands on an empty category, which lists nothing.
        QCOMPARE(m_categories->field(0)->asString(), QString());
        openItems(*m_items, typed, m_categories->field(0)->asString());
        QVERIFY(m_items->isActive());
        QCOMPARE(m_items->recordCount(), 0);
    }

    // A failure leaves the list closed.
    m_db->exec(QStringLiteral("alter table menu rename to menu_gone"));
    QVERIFY_THROWS_EXCEPTION(DbError, openCategories(*m_categories, QStringLiteral("coco")));
    QVERIFY(!m_categories->isActive());
    QVERIFY_THROWS_EXCEPTION(DbError, openItems(*m_items, QStringLiteral("coco"), QStringLiteral("茶類")));
    QVERIFY(!m_items->isActive());
}

void TestCatalogStatements::orderLineStoredAsGiven() {
    const QDateTime moment(QDate(2026, 12, 9), QTime(13, 5, 59));
    const OrderLine line{QStringLiteral("珍珠奶茶"), QStringLiteral("大"), QStringLiteral("50"),
                         QStringLiteral("Joe's \"Tea\""), QStringLiteral("半糖'去冰\" ); --")};
    storeOrderLine(*m_set, line, QStringLiteral("艾米"), moment, LocaleFormats{});
    QVERIFY(!m_set->isActive());
    QCOMPARE(
        m_set->statement().lines(),
        (QStringList{QStringLiteral("INSERT INTO ordern "),
                     QStringLiteral("(ord_name , ord_cap , ord_pric , ord_mer , ord_note , ord_cusomter , "
                                    "ord_date , ord_time ) "),
                     QStringLiteral("VALUES ( "), QStringLiteral(" ? ,"), QStringLiteral(" ? ,"),
                     QStringLiteral(" ? ,"), QStringLiteral(" ? ,"), QStringLiteral(" ? ,"),
                     QStringLiteral(" ? ,"), QStringLiteral(" ? ,"), QStringLiteral(" ? )")}));
    QStringList bound;
    for (const Statement::Param &p : m_set->statement().params())
        bound << p.column + QLatin1Char('=') + p.value.toString();
    QCOMPARE(bound,
             (QStringList{QStringLiteral("ord_name=珍珠奶茶"), QStringLiteral("ord_cap=大"),
                          QStringLiteral("ord_pric=50"), QStringLiteral("ord_mer=Joe's \"Tea\""),
                          QStringLiteral("ord_note=半糖'去冰\" ); --"), QStringLiteral("ord_cusomter=艾米"),
                          QStringLiteral("ord_date=2026/12/09"), QStringLiteral("ord_time=13:05")}));

    // Other separators: the texts carry them, and the engine reads them as the same moment.
    const LocaleFormats dotted{QStringLiteral("dd.MM.yyyy"), QLatin1Char('.'), QLatin1Char('.')};
    QCOMPARE(dateText(moment, dotted), QStringLiteral("2026.12.09"));
    QCOMPARE(timeText(moment, dotted), QStringLiteral("13.05"));
    const LocaleFormats dashed{QStringLiteral("yyyy-MM-dd"), QLatin1Char('-'), QLatin1Char('h')};
    QCOMPARE(timeText(QDateTime(QDate(2027, 1, 2), QTime(0, 7)), dashed), QStringLiteral("00h07"));
    m_db->connection().setLocaleFormats(dotted);
    storeOrderLine(
        *m_set, {QStringLiteral("紅茶"), QStringLiteral("中"), QStringLiteral(" 30 "), QString(), QString()},
        QStringLiteral("艾米"), QDateTime(QDate(2027, 1, 2), QTime(23, 59)), dotted);

    const QList<QVariantList> lines = orderLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0),
             (QVariantList{QStringLiteral("珍珠奶茶"), QStringLiteral("大"), qint64(50),
                           QStringLiteral("Joe's \"Tea\""), QStringLiteral("半糖'去冰\" ); --"),
                           QStringLiteral("艾米"), QStringLiteral("2026-12-09"), QStringLiteral("13:05")}));
    QCOMPARE(lines.at(1).at(2), QVariant(qint64(30)));
    QCOMPARE(lines.at(1).at(3), QVariant(QString()));
    QCOMPARE(lines.at(1).at(6), QVariant(QStringLiteral("2027-01-02")));
    QCOMPARE(lines.at(1).at(7), QVariant(QStringLiteral("23:59")));
}

void TestCatalogStatements::orderLineRefusedStoresNothing_data() {
    QTest::addColumn<QString>("cap");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("user");
    const QString ok = QStringLiteral("中");
    QTest::newRow("note of 21 characters") << ok << "30" << QString(21, QChar(u'糖')) << "艾米";
    QTest::newRow("cup size of 11 characters") << QString(11, QChar(u'大')) << "30" << QString() << "艾米";
    QTest::newRow("price that is no number") << ok << "三十" << QString() << "艾米";
    QTest::newRow("price with a fraction") << ok << "30.5" << QString() << "艾米";
    QTest::newRow("empty price") << ok << "" << QString() << "艾米";
    QTest::newRow("user of 21 characters") << ok << "30" << QString() << QString(21, QChar(u'人'));
}

void TestCatalogStatements::orderLineRefusedStoresNothing() {
    QFETCH(QString, cap);
    QFETCH(QString, price);
    QFETCH(QString, note);
    QFETCH(QString, user);
    // A line may fit exactly: 20 characters of note, 10 of cup size.
    storeOrderLine(*m_set,
                   {QStringLiteral("紅茶"), QString(10, QChar(u'大')), QStringLiteral("30"), QString(),
                    QString(20, QChar(u'糖'))},
                   QStringLiteral("艾米"), QDateTime(QDate(2026, 12, 9), QTime(8, 0)), LocaleFormats{});
    QCOMPARE(orderLines().size(), 1);
    QVERIFY_THROWS_EXCEPTION(
        DbError, storeOrderLine(*m_set, {QStringLiteral("紅茶"), cap, price, QString(), note}, user,
                                QDateTime(QDate(2026, 12, 9), QTime(8, 1)), LocaleFormats{}));
    QCOMPARE(orderLines().size(), 1);
    // The next line goes in as usual: the refusal left nothing behind.
    storeOrderLine(*m_set,
                   {QStringLiteral("綠茶"), QStringLiteral("小"), QStringLiteral("25"), QString(), QString()},
                   QStringLiteral("艾米"), QDateTime(QDate(2026, 12, 9), QTime(8, 2)), LocaleFormats{});
    QCOMPARE(orderLines().size(), 2);
}

QTEST_GUILESS_MAIN(TestCatalogStatements)
#include "tst_catalogstatements.moc"
