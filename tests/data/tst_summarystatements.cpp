// The summary page's statements without widgets: a day's lines sorted by shop, the day's total,
// and the export of a day to a spreadsheet file through the engine, read back with libfreexl.
// The day is bound as a date, so the locale's short date format cannot make it another day.
#include "AsOrdinaryUser.h"
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "Schema.h"
#include "SpreadsheetExport.h"
#include "SummaryStatements.h"
#include "TestDatabase.h"
#include "XlsReadBack.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace SummaryStatements;

namespace {

const QDate Day(2026, 3, 4);
// Read month first, the day above; a listing built from text could pick it by mistake.
const QDate SwappedDay(2026, 4, 3);

QString failureOf(const std::function<void()> &run) {
    try {
        run();
    } catch (const DbError &e) {
        return e.message();
    }
    return QString();
}

QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSummaryStatements : public EngineTestCase {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dayListedByShopWithItsTotal();
    void dayExportedToASpreadsheet();
    void exportStatementRecognised();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Dataset> m_lines;
    std::unique_ptr<Dataset> m_get;
    int m_dayTotal = 0;
};

void TestSummaryStatements::init() {
    m_db = std::make_unique<TestDatabase>(engine());
    // A locale whose short date puts the day first, with another separator.
    m_db->connection().setLocaleFormats({QStringLiteral("dd.MM.yyyy"), QLatin1Char('.'), QLatin1Char(':')});
    m_lines = std::make_unique<Dataset>(QStringLiteral("ADODataSet2"));
    m_lines->setConnection(&m_db->connection());
    m_get = std::make_unique<Dataset>(QStringLiteral("ADOQuery_GET"));
    m_get->setConnection(&m_db->connection());

    // Three shops' lines entered in mixed order, and lines of the neighbouring and swapped days.
    const struct {
        const char *name, *shop, *note, *who;
        int price;
    } lines[] = {{"珍珠奶茶", "清心福全", "半糖少冰", "王小明", 50},
                 {"紅茶", "50嵐", "it's hot", "Amy", 25},
                 {"綠茶", "CoCo", "", "李大同", 30},
                 {"奶綠", "50嵐", "無糖", "王小明", 45},
                 {"烏龍", "清心福全", "", "Amy", 35},
                 {"多多", "coco", "去冰", "Ben", 40}};
    m_dayTotal = 0;
    int minute = 0;
    for (const auto &l : lines) {
        m_db->addOrderLine(QString::fromUtf8(l.name), QStringLiteral("大"), l.price,
                           QString::fromUtf8(l.shop), QString::fromUtf8(l.note), QString::fromUtf8(l.who),
                           Day, QTime(11, minute++));
        m_dayTotal += l.price;
    }
    m_db->addOrderLine(QStringLiteral("紅茶"), QStringLiteral("中"), 1000, QStringLiteral("50嵐"), QString(),
                       QStringLiteral("Amy"), SwappedDay, QTime(9, 0));
    m_db->addOrderLine(QStringLiteral("紅茶"), QStringLiteral("中"), 2000, QStringLiteral("50嵐"), QString(),
                       QStringLiteral("Amy"), Day.addDays(1), QTime(0, 0));
    m_db->addOrderLine(QStringLiteral("紅茶"), QStringLiteral("中"), 4000, QStringLiteral("50嵐"), QString(),
                       QStringLiteral("Amy"), Day.addDays(-1), QTime(23, 59));
}

void TestSummaryStatements::cleanup() {
    m_lines.reset();
    m_get.reset();
    m_db.reset();
}

void TestSummaryStatements::dayListedByShopWithItsTotal() {
    openDay(*m_lines, Day);
    QVERIFY(m_lines->isActive());
    QCOMPARE(m_lines->recordCount(), 6);
    QCOMPARE(m_lines->recNo(), 1);
    QStringList shops;
    for (m_lines->first(); !m_lines->eof(); m_lines->next()) {
        QCOMPARE(m_lines->fieldByName(QStringLiteral("ord_date"))->value().toDate(), Day);
        shops << m_lines->fieldByName(QStringLiteral("ord_mer"))->asString();
    }
    // Each shop's lines together, shops ascending (letter case aside, as the engine compares).
    QCOMPARE(shops.mid(0, 2), QStringList({QStringLiteral("50嵐"), QStringLiteral("50嵐")}));
    QCOMPARE(shops.mid(2, 2).join(QLatin1Char(',')).toLower(), QStringLiteral("coco,coco"));
    QCOMPARE(shops.mid(4, 2), QStringList({QStringLiteral("清心福全"), QStringLiteral("清心福全")}));
    // Modifiable: the navigator's delete removes the line from the table.
    QVERIFY(m_lines->canModify());

    QCOMPARE(dayTotal(*m_get, Day), std::optional<QString>(QString::number(m_dayTotal)));
    QVERIFY(!m_get->isActive());
    QCOMPARE(dayTotal(*m_get, SwappedDay), std::optional<QString>(QStringLiteral("1000")));

    // A day without lines: an open, empty listing and an empty total.
    openDay(*m_lines, QDate(2026, 12, 25));
    QVERIFY(m_lines->isActive());
    QVERIFY(m_lines->isEmpty());
    QCOMPARE(dayTotal(*m_get, QDate(2026, 12, 25)), std::optional<QString>(QString()));

    // An engine that fails leaves the listing closed and the query closed.
    m_db->connection().close();
    QVERIFY(!failureOf([&] { openDay(*m_lines, Day); }).isEmpty());
    QVERIFY(!m_lines->isActive());
    QVERIFY(!failureOf([&] { dayTotal(*m_get, Day); }).isEmpty());
    QVERIFY(!m_get->isActive());
}

void TestSummaryStatements::dayExportedToASpreadsheet() {
    const QString folder = m_db->dir() + QStringLiteral("/匯出 \"folder\"");
    QVERIFY(QDir().mkpath(folder));
    // The name comes from the clock at the click: the minutes follow the hours.
    const QString path = exportPath(folder, QDateTime(QDate(2026, 3, 5), QTime(9, 5)));
    QCOMPARE(path, folder + QStringLiteral("/202603050905.xls"));
    exportDay(m_db->connection(), path, Day);

    const XlsReadBack book = XlsReadBack::read(path);
    QCOMPARE(book.error, 0);
    QCOMPARE(book.sheetCount, 1);
    QCOMPARE(book.sheetName, QStringLiteral("SHEET1"));
    QStringList header;
    for (const ColumnInfo &c : Schema::table(QStringLiteral("ordern"))->columns)
        header << QStringLiteral("text:") + c.name;
    QCOMPARE(book.rows.value(0), header);

    // Every line of the day and no other, each cell with its type, as the table holds it.
    Statement all;
    all.add(QStringLiteral("select * from ordern where ord_date = ? order by ord_id"));
    all.bind(Day);
    const ResultSet rs = m_db->connection().select(all);
    QList<QStringList> expected;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < rs.columnCount(); ++c) {
            const QVariant v = rs.value(r, c);
            const QString name = rs.columns[c].name;
            if (name == QLatin1String("ord_date"))
                row << QStringLiteral("date:") + v.toString();
            else if (name == QLatin1String("ord_time"))
                row << QStringLiteral("time:") + v.toString() + QStringLiteral(":00");
            else if (v.typeId() == QMetaType::LongLong)
                row << QStringLiteral("num:") + v.toString();
            else
                row << (v.toString().isEmpty() ? QString() : QStringLiteral("text:") + v.toString());
        }
        expected << row;
    }
    QCOMPARE(expected.size(), 6);
    QList<QStringList> written = book.rows.mid(1).toList();
    std::sort(written.begin(), written.end(), [](const QStringList &a, const QStringList &b) {
        return a[0].mid(4).toInt() < b[0].mid(4).toInt();
    });
    QCOMPARE(written, expected);
    QVERIFY(std::any_of(expected.cbegin(), expected.cend(), [](const QStringList &row) {
        return row.contains(QStringLiteral("text:it's hot"));
    }));

    // A second export in the same minute fails; the first file stays as it was.
    const QByteArray first = contents(path);
    const QString again = failureOf([&] { exportDay(m_db->connection(), path, Day.addDays(1)); });
    QVERIFY2(again.contains(QStringLiteral("already exists")), qPrintable(again));
    QCOMPARE(contents(path), first);

    // A day without lines gives the column names alone.
    const QString empty = exportPath(folder, QDateTime(QDate(2026, 3, 5), QTime(9, 6)));
    exportDay(m_db->connection(), empty, QDate(2026, 12, 25));
    QCOMPARE(XlsReadBack::read(empty).rows, QVector<QStringList>({header}));

    // A folder that cannot be written: a message, and no file.
    const QString locked = m_db->dir() + QStringLiteral("/locked");
    QVERIFY(QDir().mkpath(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    const QString refused = failureOf([&] {
        AsOrdinaryUser ordinary;
        exportDay(m_db->connection(), locked + QStringLiteral("/202603050907.xls"), Day);
    });
    QVERIFY2(refused.contains(QStringLiteral("Permission denied")), qPrintable(refused));
    QVERIFY(QDir(locked).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestSummaryStatements::exportStatementRecognised() {
    const auto target = SpreadsheetExport::recognise(
        QStringLiteral("SELECT * INTO SHEET1 IN \"/home/a \"b\"/x.xls\" \"Excel 8.0;\" FROM ordern where "
                       "ord_date = #2026/03/04# \r\n"));
    QVERIFY(target);
    QCOMPARE(target->sheet, QStringLiteral("SHEET1"));
    QCOMPARE(target->path, QStringLiteral("/home/a \"b\"/x.xls"));
    QCOMPARE(target->select.trimmed(), QStringLiteral("SELECT * FROM ordern where ord_date = #2026/03/04#"));
    const auto lower = SpreadsheetExport::recognise(
        QStringLiteral("select ord_name, ord_pric\r\ninto [Day] in \"d.xls\" \"Excel 8.0;\"\r\nfrom ordern"));
    QVERIFY(lower);
    QCOMPARE(lower->sheet, QStringLiteral("Day"));
    QCOMPARE(lower->select, QStringLiteral("SELECT ord_name, ord_pric from ordern"));
    for (const char *other : {"select * from ordern", "insert into ordern (ord_note) values ('INTO x IN')",
                              "SELECT * INTO SHEET1 IN \"a.xls\" \"Excel 5.0;\" FROM ordern"})
        QVERIFY2(!SpreadsheetExport::recognise(QString::fromUtf8(other)), other);

    // The engine runs it on the connection: date literals as in any statement, the rows to the file.
    const QString path = m_db->dir() + QStringLiteral("/literal.xls");
    Statement st;
    st.add(QStringLiteral("SELECT ord_pric, ord_time INTO SHEET1 IN \"") + path +
           QStringLiteral("\" \"Excel 8.0;\" FROM ordern where ord_date = #2026/04/03# "));
    QCOMPARE(m_db->connection().execute(st), 0);
    QCOMPARE(XlsReadBack::read(path).rows,
             QVector<QStringList>({{QStringLiteral("text:ord_pric"), QStringLiteral("text:ord_time")},
                                   {QStringLiteral("num:1000"), QStringLiteral("time:09:00:00")}}));

    // Sheets the caller built follow the day's SHEET1 in the same new file: rows put together in
    // code, and a select's rows whose counts and sums stay numbers.
    ResultSet order;
    order.columns = {{QStringLiteral("飲料"), {}, {}}, {QStringLiteral("杯數"), {}, {}}};
    order.appendRow({QStringLiteral("珍珠奶茶"), 1});
    Statement people;
    people.add(QStringLiteral("select ord_cusomter, count(*) as cups, sum(ord_pric) as total from ordern"));
    people.add(QStringLiteral("where ord_date = ? group by ord_cusomter order by total desc"));
    people.bind(Day);
    const QString day = m_db->dir() + QStringLiteral("/day.xls");
    exportDay(
        m_db->connection(), day, Day,
        {{QStringLiteral("叫餐單"), order}, {QStringLiteral("個人小計"), m_db->connection().select(people)}});
    const XlsReadBack book = XlsReadBack::read(day);
    QCOMPARE(book.sheetCount, 3);
    QCOMPARE(book.sheets[0].name, QStringLiteral("SHEET1"));
    QCOMPARE(book.sheets[0].rows.size(), 7);
    QCOMPARE(book.sheets[1].name, QStringLiteral("叫餐單"));
    QCOMPARE(book.sheets[1].rows,
             QVector<QStringList>({{"text:飲料", "text:杯數"}, {"text:珍珠奶茶", "num:1"}}));
    QCOMPARE(book.sheets[2].name, QStringLiteral("個人小計"));
    QCOMPARE(book.sheets[2].rows, QVector<QStringList>({{"text:ord_cusomter", "text:cups", "text:total"},
                                                        {"text:王小明", "num:2", "num:95"},
                                                        {"text:Amy", "num:2", "num:60"},
                                                        {"text:Ben", "num:1", "num:40"},
                                                        {"text:李大同", "num:1", "num:30"}}));
    // A further sheet may not take SHEET1's name: nothing is written.
    const QString twice = m_db->dir() + QStringLiteral("/twice.xls");
    QVERIFY(failureOf([&] {
                exportDay(m_db->connection(), twice, Day, {{QStringLiteral("sheet1"), order}});
            }).contains(QStringLiteral("given twice")));
    QVERIFY(!QFile::exists(twice));
}

QTEST_GUILESS_MAIN(TestSummaryStatements)
#include "tst_summarystatements.moc"
