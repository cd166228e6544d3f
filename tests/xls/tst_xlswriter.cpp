// The spreadsheet writer: what it writes reads back cell by cell with libfreexl, every sheet of
// a workbook in order, and a write that cannot finish leaves no file and never touches an
// existing one.
#include "AsOrdinaryUser.h"
#include "XlsError.h"
#include "XlsReadBack.h"
#include "XlsTable.h"
#include "XlsWriter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

//! Rows made on demand: row r holds r + 1 in its one column.
class CountingTable : public XlsTable {
public:
    explicit CountingTable(int rows)
        : m_rows(rows) {}
    int rowCount() const override { return m_rows; }
    int columnCount() const override { return 1; }
    QString columnName(int) const override { return QStringLiteral("n"); }
    QVariant value(int row, int) const override { return row + 1; }

private:
    int m_rows;
};

//! Everything in a folder, hidden files included.
QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString failureOf(const std::function<void()> &write) {
    try {
        write();
    } catch (const XlsError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestXlsWriter : public QObject {
    Q_OBJECT
private slots:
    void cellsReadBackWithTheirTypes();
    void manyAndLongTextsReadBack();
    void sheetLimits();
    void failuresLeaveNoFile();
    void severalSheetsReadBackInOrder();
};

void TestXlsWriter::cellsReadBackWithTheirTypes() {
    QTemporaryDir dir;
    XlsRows t;
    t.columns = {QStringLiteral("ord_id"),   QStringLiteral("ord_name"), QStringLiteral("ord_pric"),
                 QStringLiteral("ord_note"), QStringLiteral("ord_date"), QStringLiteral("ord_time"),
                 QStringLiteral("moment"),   QStringLiteral("ratio")};
    t.rows = {
        {1, QStringLiteral("珍珠奶茶"), 50, QStringLiteral("半糖少冰"), QDate(2026, 12, 9), QTime(13, 5),
         QDateTime(QDate(2026, 12, 9), QTime(7, 30)), 0.25},
        {qint64(2), QStringLiteral("Black tea"), 35, QStringLiteral("it's \"hot\""), QDate(2000, 2, 29),
         QTime(0, 0), QVariant(), -1.5},
        // An empty text and a null are empty cells; a day before March 1900 stays a text.
        {3, QStringLiteral("ＣｏＣｏ綠茶"), 0, QString(""), QDate(1899, 12, 31), QTime(23, 59), QVariant(),
         1e15},
        {}, // a row of empty cells
        {4},
    };
    const QString path = dir.filePath(QStringLiteral("202612091305.xls"));
    XlsWriter::write(path, QStringLiteral("SHEET1"), t);

    const XlsReadBack book = XlsReadBack::read(path);
    QCOMPARE(book.error, 0);
    QCOMPARE(book.sheetCount, 1);
    QCOMPARE(book.sheetName, QStringLiteral("SHEET1"));
    const QStringList header = {"text:ord_id",   "text:ord_name", "text:ord_pric", "text:ord_note",
                                "text:ord_date", "text:ord_time", "text:moment",   "text:ratio"};
    QCOMPARE(book.rows.size(), 6);
    QCOMPARE(book.rows[0], header);
    QCOMPARE(book.rows[1],
             QStringList({"num:1", "text:珍珠奶茶", "num:50", "text:半糖少冰", "date:2026-12-09",
                          "time:13:05:00", "datetime:2026-12-09 07:30:00", "num:0.25"}));
    QCOMPARE(book.rows[2], QStringList({"num:2", "text:Black tea", "num:35", "text:it's \"hot\"",
                                        "date:2000-02-29", "time:00:00:00", "", "num:-1.5"}));
    QCOMPARE(book.rows[3], QStringList({"num:3", "text:ＣｏＣｏ綠茶", "num:0", "", "text:1899/12/31",
                                        "time:23:59:00", "", "num:1e+15"}));
    QCOMPARE(book.rows[4], QStringList(8, QString()));
    QCOMPARE(book.rows[5], QStringList({"num:4"}) + QStringList(7, QString()));
    // Exactly the file, no temporary left beside it.
    QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("202612091305.xls")}));
}

void TestXlsWriter::manyAndLongTextsReadBack() {
    // Thousands of distinct texts overflow the string table's first record many times over,
    // splitting texts between records; long texts span two records.
    QTemporaryDir dir;
    XlsRows t;
    t.columns = {QStringLiteral("name"), QStringLiteral("note"), QStringLiteral("n")};
    for (int i = 0; i < 3000; ++i)
        t.rows.append({QStringLiteral("飲料%1號").arg(i), QStringLiteral("note %1 少冰").arg(i % 700), i});
    t.rows.append({QString(4000, QChar(0x8336)), QString(6000, QLatin1Char('x')), -1});
    t.rows.append({QString(3000, QLatin1Char('y')) + QString(1000, QChar(0x5976)), QString(), -2});
    const QString path = dir.filePath(QStringLiteral("many.xls"));
    XlsWriter::write(path, QStringLiteral("長表"), t);

    const XlsReadBack book = XlsReadBack::read(path);
    QCOMPARE(book.error, 0);
    QCOMPARE(book.sheetName, QStringLiteral("長表"));
    QCOMPARE(book.rows.size(), t.rows.size() + 1);
    for (int i = 0; i < 3000; ++i) {
        const QStringList expected = {QStringLiteral("text:飲料%1號").arg(i),
                                      QStringLiteral("text:note %1 少冰").arg(i % 700),
                                      QStringLiteral("num:%1").arg(i)};
        if (book.rows[i + 1] != expected) QCOMPARE(book.rows[i + 1], expected);
    }
    QCOMPARE(book.rows[3001], QStringList({QStringLiteral("text:") + QString(4000, QChar(0x8336)),
                                           QStringLiteral("text:") + QString(6000, QLatin1Char('x')),
                                           QStringLiteral("num:-1")}));
    QCOMPARE(book.rows[3002][0],
             QStringLiteral("text:") + QString(3000, QLatin1Char('y')) + QString(1000, QChar(0x5976)));
}

void TestXlsWriter::sheetLimits() {
    QTemporaryDir dir;
    // The last row a sheet holds is written; one more is refused before anything is written.
    const QString full = dir.filePath(QStringLiteral("full.xls"));
    XlsWriter::write(full, QStringLiteral("SHEET1"), CountingTable(65535));
    const XlsReadBack book = XlsReadBack::read(full);
    QCOMPARE(book.rows.size(), 65536);
    QCOMPARE(book.rows.last(), QStringList({QStringLiteral("num:65535")}));

    const QString over = dir.filePath(QStringLiteral("over.xls"));
    QVERIFY(failureOf([&] {
                XlsWriter::write(over, QStringLiteral("SHEET1"), CountingTable(65536));
            }).contains(QStringLiteral("65536 rows")));
    XlsRows wide;
    for (int c = 0; c < 257; ++c)
        wide.columns << QStringLiteral("c%1").arg(c);
    QVERIFY(!failureOf([&] { XlsWriter::write(over, QStringLiteral("SHEET1"), wide); }).isEmpty());
    for (const QString &name : {QString(), QString(32, QLatin1Char('s')), QStringLiteral("a/b"),
                                QStringLiteral("[x]"), QStringLiteral("a:b")})
        QVERIFY2(failureOf([&] {
                     XlsWriter::write(over, name, CountingTable(1));
                 }).contains(QStringLiteral("sheet name")),
                 qPrintable(name));
    QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("full.xls")}));
}

void TestXlsWriter::failuresLeaveNoFile() {
    QTemporaryDir dir;
    XlsRows t;
    t.columns = {QStringLiteral("ord_name")};
    for (int i = 0; i < 5000; ++i)
        t.rows.append({QStringLiteral("紅茶%1").arg(i)});

    // An existing file is refused and stays byte for byte as it was.
    const QString taken = dir.filePath(QStringLiteral("202612091305.xls"));
    const QByteArray before("not a spreadsheet, but someone's file");
    {
        QFile f(taken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    QVERIFY(failureOf([&] {
                XlsWriter::write(taken, QStringLiteral("SHEET1"), t);
            }).contains(QStringLiteral("already exists")));
    QFile f(taken);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    f.close();
    QVERIFY(QFile::remove(taken));

    // A folder that is missing, or that this user cannot write to.
    QVERIFY(failureOf([&] {
                XlsWriter::write(dir.filePath(QStringLiteral("missing/a.xls")), QStringLiteral("SHEET1"), t);
            }).contains(QStringLiteral("missing")));
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    const QString message = failureOf([&] {
        AsOrdinaryUser ordinary;
        XlsWriter::write(locked + QStringLiteral("/a.xls"), QStringLiteral("SHEET1"), t);
    });
    QVERIFY2(message.contains(QStringLiteral("Cannot create a file in the folder")), qPrintable(message));
    QVERIFY(entries(locked).isEmpty());

    // The disk fills while writing: the same failure as a full disk, as far as writing goes.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &small);
    const QString filled = failureOf([&] { XlsWriter::write(taken, QStringLiteral("SHEET1"), t); });
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY2(filled.contains(QStringLiteral("Nothing was written")), qPrintable(filled));
    QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("locked")}));

    // With room again the same file is written.
    XlsWriter::write(taken, QStringLiteral("SHEET1"), t);
    QCOMPARE(XlsReadBack::read(taken).rows.size(), 5001);
}

void TestXlsWriter::severalSheetsReadBackInOrder() {
    QTemporaryDir dir;
    // The day's lines, an order sheet and per-person subtotals: texts that recur across sheets
    // share one string table, which the many names of the last sheet spread over several records.
    XlsRows lines;
    lines.columns = {QStringLiteral("ord_id"), QStringLiteral("ord_name"), QStringLiteral("ord_pric"),
                     QStringLiteral("ord_date")};
    lines.rows = {{1, QStringLiteral("珍珠奶茶"), 50, QDate(2026, 12, 9)},
                  {2, QStringLiteral("紅茶"), 25, QDate(2026, 12, 9)}};
    XlsRows order;
    order.columns = {QStringLiteral("飲料"), QStringLiteral("杯數"), QStringLiteral("平均")};
    order.rows = {{QStringLiteral("珍珠奶茶"), 3, 48.5}, {QStringLiteral("紅茶"), qint64(1), 25.0}};
    XlsRows people;
    people.columns = {QStringLiteral("訂購人"), QStringLiteral("小計")};
    for (int i = 0; i < 2000; ++i)
        people.rows.append({QStringLiteral("同事%1號").arg(i), i * 5});
    XlsRows none;
    none.columns = {QStringLiteral("空")};
    const QString path = dir.filePath(QStringLiteral("day.xls"));
    XlsWriter::write(path, {{QStringLiteral("SHEET1"), &lines},
                            {QStringLiteral("叫餐單"), &order},
                            {QStringLiteral("個人小計"), &people},
                            {QStringLiteral("Empty"), &none}});

    const XlsReadBack book = XlsReadBack::read(path);
    QCOMPARE(book.error, 0);
    QCOMPARE(book.sheetCount, 4);
    QCOMPARE(book.sheets.size(), 4);
    QCOMPARE(book.sheets[0].name, QStringLiteral("SHEET1"));
    QCOMPARE(book.sheets[0].rows,
             QVector<QStringList>({{"text:ord_id", "text:ord_name", "text:ord_pric", "text:ord_date"},
                                   {"num:1", "text:珍珠奶茶", "num:50", "date:2026-12-09"},
                                   {"num:2", "text:紅茶", "num:25", "date:2026-12-09"}}));
    QCOMPARE(book.sheets[1].name, QStringLiteral("叫餐單"));
    QCOMPARE(book.sheets[1].rows, QVector<QStringList>({{"text:飲料", "text:杯數", "text:平均"},
                                                        {"text:珍珠奶茶", "num:3", "num:48.5"},
                                                        {"text:紅茶", "num:1", "num:25"}}));
    QCOMPARE(book.sheets[2].name, QStringLiteral("個人小計"));
    QCOMPARE(book.sheets[2].rows.size(), 2001);
    QCOMPARE(book.sheets[2].rows[0], QStringList({"text:訂購人", "text:小計"}));
    for (int i = 0; i < 2000; ++i) {
        const QStringList expected = {QStringLiteral("text:同事%1號").arg(i),
                                      QStringLiteral("num:%1").arg(i * 5)};
        if (book.sheets[2].rows[i + 1] != expected) QCOMPARE(book.sheets[2].rows[i + 1], expected);
    }
    QCOMPARE(book.sheets[3].name, QStringLiteral("Empty"));
    QCOMPARE(book.sheets[3].rows, QVector<QStringList>({{"text:空"}}));

    // What one sheet cannot take refuses the whole workbook before anything is written.
    const QString refused = dir.filePath(QStringLiteral("refused.xls"));
    CountingTable tooLong(65536);
    const QVector<QVector<XlsSheet>> wrong = {
        {},
        {{QStringLiteral("SHEET1"), &lines}, {QStringLiteral("sheet1"), &order}},
        {{QStringLiteral("SHEET1"), &lines},
         {QStringLiteral("叫餐單"), &order},
         {QStringLiteral("a/b"), &people}},
        {{QStringLiteral("SHEET1"), &lines}, {QStringLiteral("long"), &tooLong}},
    };
    for (const QVector<XlsSheet> &sheets : wrong)
        QVERIFY(!failureOf([&] { XlsWriter::write(refused, sheets); }).isEmpty());
    QVERIFY(failureOf([&] { XlsWriter::write(refused, wrong[1]); }).contains(QStringLiteral("given twice")));
    QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("day.xls")}));
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "tst_xlswriter.moc"
