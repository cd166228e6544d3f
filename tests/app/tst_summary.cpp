// The summary page: the day's lines by shop with their total as the picker changes, the delete
// rights however the current line moves (and checked again at the moment of deletion), and the
// export of the picker's day to a spreadsheet file, read back with libfreexl.
#include "AppFixture.h"

#include "AsOrdinaryUser.h"
#include "Dataset.h"
#include "DbError.h"
#include "FixedClock.h"
#include "FixedLocale.h"
#include "FormData.h"
#include "GridPopupMenu.h"
#include "Schema.h"
#include "TDBText.h"
#include "TDBXNavigator.h"
#include "TForm1.h"
#include "TNavButton.h"
#include "TSMDBGrid.h"
#include "XlsReadBack.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
const QDate Today(2026, 3, 4);
const QString Me = QStringLiteral("艾美");
constexpr int OrdererColumn = 3, ShopColumn = 6;

struct Line {
    const char *name, *shop, *note, *who;
    int price;
    QDate day;
};
const Line Lines[] = {
    {"珍珠奶茶", "清心福全", "半糖少冰", "艾美", 50, Today},
    {"紅茶", "50嵐", "it's hot", "王小明", 25, Today},
    {"綠茶", "CoCo", "", "艾美", 30, Today},
    {"烏龍", "清心福全", "", "王小明", 35, Today},
    {"奶綠", "50嵐", "去冰", "艾美", 45, Today},
    {"多多", "CoCo", "", "陳", 60, Today.addDays(-1)},
    {"拿鐵", "清心福全", "", "陳", 70, Today.addDays(1)},
};

//! The summary page of a signed-in user of `level`, entered by its tab on `Today`.
struct SummaryFixture : AppFixture {
    FixedClock clock{QDateTime(Today, QTime(10, 0))};
    explicit SummaryFixture(int level) {
        addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), Me, level);
        int minute = 0;
        for (const Line &l : Lines)
            exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, "
                                "ord_cusomter, ord_date, ord_time) VALUES (?, '大', ?, ?, ?, ?, ?, ?)"),
                 {QString::fromUtf8(l.name), l.price, QString::fromUtf8(l.shop), QString::fromUtf8(l.note),
                  QString::fromUtf8(l.who), l.day.toString(Qt::ISODate),
                  QTime(9, minute++).toString(QStringLiteral("HH:mm"))});
        QDir().mkpath(exports());
        StartOptions options;
        options.exportFolder = exports();
        openForm(options);
        signIn(QStringLiteral("amy"), QStringLiteral("pw"));
        clickTab(1);
    }
    QString exports() const { return dir() + QStringLiteral("/exports"); }
    TSMDBGrid *grid() const { return find<TSMDBGrid>(QStringLiteral("SMDBGrid4")); }
    TDBXNavigator *nav() const { return find<TDBXNavigator>(QStringLiteral("DBXNavigator2")); }
    QDateEdit *picker() const { return find<QDateEdit>(QStringLiteral("DTP1")); }
    QString total() const { return find<QLabel>(QStringLiteral("Panel1"))->text(); }
    Dataset &lines() { return *form().data().ADODataSet2; }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << grid()->model()->index(r, c).data().toString();
        return out;
    }
    bool deleteShown() const { return nav()->button(nbDelete)->isVisible(); }
    //! The orderer of the current line, as the dataset holds it.
    QString currentOrderer() { return lines().fieldByName(QStringLiteral("ord_cusomter"))->asString(); }
    void clickRow(int row) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(grid()->model()->index(row, 1)).center());
    }
    int sumOf(const QDate &day) const {
        int sum = 0;
        for (const Line &l : Lines)
            sum += l.day == day ? l.price : 0;
        return sum;
    }
};
} // namespace

class TestSummary : public QObject {
    Q_OBJECT
private slots:
    void dayListedByShopWithItsTotal();
    void deleteRightsOfAnOrdinaryUser();
    void managersDeleteEveryLine_data();
    void managersDeleteEveryLine();
    void exportWritesThePickersDay();
    void totalPanelAndFramesAsDrawn();
};

void TestSummary::dayListedByShopWithItsTotal() {
    FixedLocale locale({QStringLiteral("dd.MM.yyyy"), QLatin1Char('.'), QLatin1Char(':')});
    SummaryFixture f(0);
    QCOMPARE(f.currentPage(), QStringLiteral("TabSheet4"));
    QCOMPARE(f.picker()->date(), Today);
    QCOMPARE(f.picker()->text(), QStringLiteral("04.03.2026"));
    QVERIFY(f.picker()->calendarPopup());
    QCOMPARE(f.grid()->geometry(), QRect(0, 40, 625, 297));
    QVERIFY(!f.find<TDBText>(QStringLiteral("DBText1"))->isVisible());
    QCOMPARE(f.find<QGroupBox>(QStringLiteral("GroupBox1"))->title(), QStringLiteral("總計金額"));
    QCOMPARE(f.find<QPushButton>(QStringLiteral("Button2"))->text(), QStringLiteral("轉存成Excel"));

    // Each shop's lines together, shops ascending; the total is the day's sum.
    QCOMPARE(f.column(ShopColumn), QStringList({"50嵐", "50嵐", "CoCo", "清心福全", "清心福全"}));
    QCOMPARE(f.total(), QStringLiteral("%1 元").arg(f.sumOf(Today)));

    // A change typed in the picker lists that day at once.
    f.picker()->setFocus();
    f.picker()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(f.picker(), Qt::Key_Down);
    QCOMPARE(f.picker()->text(), QStringLiteral("03.03.2026"));
    QCOMPARE(f.column(ShopColumn), QStringList({"CoCo"}));
    QCOMPARE(f.total(), QStringLiteral("60 元"));

    // A day picked in the drop-down calendar, likewise.
    QCalendarWidget *calendar = f.picker()->calendarWidget();
    auto *days = calendar->findChild<QTableView *>();
    QVERIFY(days);
    calendar->setSelectedDate(Today.addDays(1));
    QTest::keyClick(days, Qt::Key_Return);
    QCOMPARE(f.picker()->date(), Today.addDays(1));
    QCOMPARE(f.column(0), QStringList({"拿鐵"}));
    QCOMPARE(f.total(), QStringLiteral("70 元"));

    // A day without lines: an empty grid and the currency alone.
    QTest::keyClick(f.picker(), Qt::Key_Up);
    QCOMPARE(f.grid()->model()->rowCount(), 0);
    QCOMPARE(f.total(), QStringLiteral(" 元"));

    // Another copy stores a line of that day; the grid's own refresh command re-reads the
    // listing, and the total comes along with it.
    f.exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_cusomter, ord_date, "
                          "ord_time) VALUES ('紅茶', '大', 15, 'CoCo', '陳', ?, '11:00')"),
           {f.picker()->date().toString(Qt::ISODate)});
    GridPopupMenu *menu = f.grid()->popupMenu();
    menu->prepare();
    menu->entryAction(GridPopupMenu::Refresh)->trigger();
    QCOMPARE(f.column(0), QStringList({"紅茶"}));
    QCOMPARE(f.total(), QStringLiteral("15 元"));
    QVERIFY(f.dialogs().texts().isEmpty());
}

void TestSummary::deleteRightsOfAnOrdinaryUser() {
    SummaryFixture f(0);
    // However the current line got there, the delete button follows whose line it is.
    const auto followsOrderer = [&] { return f.deleteShown() == (f.currentOrderer() == Me); };
    QCOMPARE(f.column(OrdererColumn), QStringList({"王小明", "艾美", "艾美", "艾美", "王小明"}));
    QVERIFY(!f.deleteShown());
    f.clickRow(1);
    QVERIFY(f.deleteShown());
    f.grid()->setFocus();
    QTest::keyClick(f.grid(), Qt::Key_Up);
    QCOMPARE(f.lines().recNo(), 1);
    QVERIFY(!f.deleteShown());
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(f.grid(), Qt::Key_Down);
        QVERIFY2(followsOrderer(), qPrintable(QString::number(f.lines().recNo())));
    }
    QVERIFY(!f.deleteShown()); // the last line is 王小明's
    for (TNavigateBtnX b : {nbFirst, nbNext, nbNext, nbLast, nbPrior}) {
        QTest::mouseClick(f.nav()->button(b), Qt::LeftButton);
        QVERIFY2(followsOrderer(), qPrintable(QString::number(f.lines().recNo())));
    }
    QVERIFY(f.deleteShown()); // on 艾美's 清心福全 line
    // A change of date to a day whose only line is someone else's.
    f.picker()->setFocus();
    f.picker()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(f.picker(), Qt::Key_Down);
    QCOMPARE(f.currentOrderer(), QStringLiteral("陳"));
    QVERIFY(!f.deleteShown());

    // Deleting another's line through any path stores nothing: the grid's delete rule (its
    // keys and pop-up menu) and a navigator whose delete button was left showing.
    const int stored = f.count(QStringLiteral("ordern"));
    f.dialogs().setDefaultAnswer(true);
    QVERIFY_THROWS_EXCEPTION(DbError, f.grid()->deleteData());
    f.nav()->setVisibleButtons(f.nav()->visibleButtons().with(nbDelete));
    QTest::mouseClick(f.nav()->button(nbDelete), Qt::LeftButton);
    QCOMPARE(f.count(QStringLiteral("ordern")), stored);
    QCOMPARE(f.lines().recordCount(), 1);
    QVERIFY(!f.dialogs().texts().isEmpty());

    // One's own line goes, and the total drops by its price.
    f.clickTab(0);
    f.clickTab(1);
    f.clickRow(1);
    QVERIFY(f.deleteShown());
    const int price = f.grid()->model()->index(1, 2).data().toInt();
    QTest::mouseClick(f.nav()->button(nbDelete), Qt::LeftButton);
    QCOMPARE(f.count(QStringLiteral("ordern")), stored - 1);
    QCOMPARE(f.total(), QStringLiteral("%1 元").arg(f.sumOf(Today) - price));
    QVERIFY(followsOrderer());
}

void TestSummary::managersDeleteEveryLine_data() {
    QTest::addColumn<int>("level");
    QTest::newRow("delete manager") << 1;
    QTest::newRow("system manager") << 3;
}

void TestSummary::managersDeleteEveryLine() {
    QFETCH(int, level);
    SummaryFixture f(level);
    QCOMPARE(f.nav()->visibleButtons().value(), 2221u);
    f.grid()->setFocus();
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(f.grid(), Qt::Key_Down);
        QVERIFY(f.deleteShown());
    }
    f.picker()->setFocus();
    f.picker()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(f.picker(), Qt::Key_Down);
    QVERIFY(f.deleteShown());
    // Someone else's line goes.
    QTest::mouseClick(f.nav()->button(nbDelete), Qt::LeftButton);
    QCOMPARE(f.count(QStringLiteral("ordern")), int(std::size(Lines)) - 1);
    QCOMPARE(f.total(), QStringLiteral(" 元"));
}

void TestSummary::exportWritesThePickersDay() {
    SummaryFixture f(0);
    // The file is named after the clock at the click, not after the day exported.
    f.clock.set(QDateTime(Today.addDays(1), QTime(9, 5)));
    f.click(QStringLiteral("Button2"));
    QVERIFY2(f.dialogs().texts().isEmpty(), qPrintable(f.dialogs().texts().join(QLatin1Char('\n'))));
    const QString first = f.exports() + QStringLiteral("/202603050905.xls");
    const XlsReadBack book = XlsReadBack::read(first);
    QCOMPARE(book.error, 0);
    QCOMPARE(book.sheetName, QStringLiteral("SHEET1"));
    QStringList header;
    for (const ColumnInfo &c : Schema::table(QStringLiteral("ordern"))->columns)
        header << QStringLiteral("text:") + c.name;
    QCOMPARE(book.rows.value(0), header);
    QCOMPARE(book.rows.size(), 6);
    QStringList notes, days;
    for (const QStringList &row : book.rows.mid(1)) {
        notes << row[5];
        days << row[7];
        QVERIFY(row[0].startsWith(QLatin1String("num:")));
        QVERIFY(row[3].startsWith(QLatin1String("num:")));
        QVERIFY(row[8].startsWith(QLatin1String("time:09:0")));
    }
    notes.sort();
    QCOMPARE(notes, QStringList({"", "", "text:it's hot", "text:半糖少冰", "text:去冰"}));
    QCOMPARE(days, QStringList(5, QStringLiteral("date:2026-03-04")));

    // Again in the same minute: refused with a message, the first file unchanged.
    QFile file(first);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    f.picker()->setDate(Today.addDays(7));
    f.click(QStringLiteral("Button2"));
    QCOMPARE(f.dialogs().texts().size(), 1);
    QVERIFY(f.dialogs().texts().first().contains(QStringLiteral("already exists")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    file.close();

    // A day without lines gives the column names alone.
    f.clock.set(QDateTime(Today.addDays(1), QTime(9, 6)));
    f.click(QStringLiteral("Button2"));
    QCOMPARE(XlsReadBack::read(f.exports() + QStringLiteral("/202603050906.xls")).rows,
             QVector<QStringList>({header}));

    // A folder this user cannot write to: a message, and no file.
    f.dialogs().clear();
    QVERIFY(QFile::setPermissions(f.exports(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                   QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
    f.clock.set(QDateTime(Today.addDays(1), QTime(9, 7)));
    {
        AsOrdinaryUser ordinary;
        f.click(QStringLiteral("Button2"));
    }
    QCOMPARE(f.dialogs().texts().size(), 1);
    QVERIFY(f.dialogs().texts().first().contains(QStringLiteral("Cannot create a file")));
    QCOMPARE(QDir(f.exports()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestSummary::totalPanelAndFramesAsDrawn() {
    // The total in red on the system's gradient active caption colour, every digit of a ten-digit
    // sum shown; the boxes "總計金額" and "注意事項" framed around what fills them.
    const QColor caption(0xB9, 0xD1, 0xEA);
    SummaryFixture f(3);
    f.exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, "
                          "ord_date, ord_time) VALUES ('大宴', '大', ?, '店', '', '陳', ?, '12:00')"),
           {2147483647, Today.addDays(-2).toString(Qt::ISODate)});
    f.exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, "
                          "ord_date, ord_time) VALUES ('大宴', '大', ?, '店', '', '陳', ?, '12:00')"),
           {2147483647, Today.addDays(-2).toString(Qt::ISODate)});
    auto *panel = f.find<QLabel>(QStringLiteral("Panel1"));
    const auto colours = [](const QImage &image) {
        QHash<QRgb, int> count;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++count[image.pixel(x, y) & 0xffffff];
        return count;
    };
    for (const QDate &day : {Today, Today.addDays(-2)}) {
        f.picker()->setDate(day);
        const QImage drawn = panel->grab().toImage();
        const QHash<QRgb, int> count = colours(drawn);
        QVERIFY2(count.value(caption.rgb() & 0xffffff) > drawn.width() * drawn.height() / 2,
                 qPrintable(QColor(drawn.pixel(1, 1)).name()));
        int red = 0;
        for (auto it = count.begin(); it != count.end(); ++it)
            if (qRed(it.key()) > 200 && qGreen(it.key()) < 80 && qBlue(it.key()) < 80) red += it.value();
        QVERIFY2(red > 20, "no red text");
        // Nothing of the text is cut: it fits the panel, in a font no larger than the panel's own.
        QVERIFY(panel->font().pixelSize() <= 19 && panel->font().pixelSize() >= 8);
        QVERIFY2(QFontMetrics(panel->font()).horizontalAdvance(panel->text()) < panel->contentsRect().width(),
                 qPrintable(panel->text()));
    }
    QCOMPARE(f.total(), QStringLiteral("4294967294 元"));
    QVERIFY(panel->font().pixelSize() < 19);
    f.picker()->setDate(Today);
    QCOMPARE(panel->font().pixelSize(), 19);

    // A frame shows beside and below what fills each box: a line darker than the page around it.
    const auto framed = [](QGroupBox *box) {
        const QImage drawn = box->grab().toImage();
        const QColor page =
            box->parentWidget()->grab().toImage().pixel(box->x() + box->width() / 2, box->y() - 2);
        const auto darker = [&](int x, int y) {
            return QColor(drawn.pixel(x, y)).lightness() < page.lightness() - 40;
        };
        bool left = false, right = false, bottom = false;
        for (int x = 0; x < 2; ++x) {
            left = left || darker(x, box->height() / 2);
            right = right || darker(box->width() - 1 - x, box->height() / 2);
            bottom = bottom || darker(box->width() / 2, box->height() - 1 - x);
        }
        return left && right && bottom;
    };
    QVERIFY(framed(f.find<QGroupBox>(QStringLiteral("GroupBox1"))));
    f.clickTab(3);
    QVERIFY(framed(f.find<QGroupBox>(QStringLiteral("GroupBox2"))));
}

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"
