// The spreadsheet writer on tables of mixed values: numbers, days, times, moments, texts (CJK,
// full-width, empty, long, many distinct ones), nulls, up to and past a sheet's limits.
// Properties: a table that cannot fit a sheet (too many rows or columns, a text too long, a bad
// sheet name) is refused with an XlsError and anything else is written; the workbook stream is
// a well-formed chain of records whose sheet entry points at the sheet; and the file reads back
// with libfreexl cell by cell as the values say (where libfreexl can read it: texts of at most
// a few thousand characters).
#include "CompoundFile.h"
#include "FuzzInput.h"
#include "WorkbookStream.h"
#include "XlsError.h"
#include "XlsReadBack.h"
#include "XlsTable.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>
#include <QtEndian>
#include <cmath>

namespace {

// libfreexl reads a text that spans at most two records of the string table; it reads big
// sheets slowly, so the big tables are checked without it.
constexpr int ReadableText = 4000;
constexpr qint64 ReadableCells = 5000;

//! A few fuzzed rows repeated as often as asked; texts may be made distinct per row.
class RepeatedRows : public XlsTable {
public:
    QStringList names;
    QVector<QVector<QVariant>> pattern;
    int rows = 0;
    bool distinct = false;

    int rowCount() const override { return rows; }
    int columnCount() const override { return int(names.size()); }
    QString columnName(int column) const override { return names.value(column); }
    QVariant value(int row, int column) const override {
        const QVariant v = pattern.at(row % pattern.size()).value(column);
        if (distinct && v.typeId() == QMetaType::QString && !v.toString().isEmpty())
            return QVariant(v.toString() + QString::number(row));
        return v;
    }
};

//! A text a database could hold: valid UTF-16, no NUL.
QString storableText(FuzzedDataProvider &in, size_t maxUnits) {
    QString s = consumeText(in, maxUnits);
    if (!s.isValidUtf16()) s = QString::fromUtf8(s.toUtf8());
    s.replace(QChar(0), QChar(0x3000));
    return s;
}

QVariant consumeValue(FuzzedDataProvider &in) {
    static const QDate first(1, 1, 1), last(9999, 12, 31);
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0:
        return QVariant();
    case 1:
        return QVariant(in.ConsumeIntegral<qint64>());
    case 2:
        return QVariant(in.ConsumeIntegralInRange(-1000, 100000));
    case 3: {
        const double d = in.ConsumeFloatingPoint<double>();
        return QVariant(in.ConsumeIntegralInRange(0, 15) == 15 ? d / 0.0 : d); // now and then inf or nan
    }
    case 4:
        return QVariant(in.ConsumeBool());
    case 5:
        return QVariant(first.addDays(in.ConsumeIntegralInRange<qint64>(0, first.daysTo(last))));
    case 6:
        return QVariant(QTime::fromMSecsSinceStartOfDay(in.ConsumeIntegralInRange(0, 86399) * 1000));
    case 7:
        return QVariant(
            QDateTime(first.addDays(in.ConsumeIntegralInRange<qint64>(0, first.daysTo(last))),
                      QTime::fromMSecsSinceStartOfDay(in.ConsumeIntegralInRange(0, 1439) * 60000)));
    case 8: { // a long text: a run of one character around fuzzed ones, now and then at a cell's limit
        const int run = in.ConsumeIntegralInRange(0, 15) == 15 ? in.ConsumeIntegralInRange(32750, 32770)
                                                               : in.ConsumeIntegralInRange(0, 9000);
        const QChar c =
            in.ConsumeBool() ? QLatin1Char('x') : QChar(0x4E00 + in.ConsumeIntegralInRange(0, 0x51FF));
        return QVariant(storableText(in, 4) + QString(run, c) + storableText(in, 4));
    }
    case 9:
        return QVariant(QString());
    default:
        return QVariant(storableText(in, 24));
    }
}

//! A text as libfreexl returns it: its UTF-16 conversion takes a leading U+FEFF for a byte-order
//! mark and drops it (the file holds it).
QString asRead(const QString &text) {
    return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
}

//! What libfreexl shows for a value, as XlsReadBack writes it; a null text where libfreexl
//! cannot tell: it counts every fourth year a leap year, so it reads a day after February 2100
//! some days off (the file holds the right day number).
QString expectedCell(const QVariant &v) {
    static const QDate firstSerialDay(1900, 3, 1), lastReadableDay(2100, 2, 28);
    if ((v.typeId() == QMetaType::QDate && v.toDate() > lastReadableDay) ||
        (v.typeId() == QMetaType::QDateTime && v.toDateTime().date() > lastReadableDay))
        return QString(); // null: not compared
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral(""); // an empty cell
    case QMetaType::QDate:
        return v.toDate() < firstSerialDay ? QStringLiteral("text:") + v.toDate().toString(u"yyyy/MM/dd")
                                           : QStringLiteral("date:") + v.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return QStringLiteral("time:") + v.toTime().toString(u"HH:mm:ss");
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.date() < firstSerialDay ? QStringLiteral("text:") + dt.toString(u"yyyy/MM/dd HH:mm")
                                          : QStringLiteral("datetime:") + dt.toString(u"yyyy-MM-dd HH:mm:ss");
    }
    case QMetaType::QString:
        return v.toString().isEmpty() ? QStringLiteral("") : QStringLiteral("text:") + asRead(v.toString());
    default: {
        const double d = v.toDouble();
        if (!std::isfinite(d)) return QStringLiteral("text:") + v.toString();
        return QStringLiteral("num:") + QString::number(d, 'g', 15);
    }
    }
}

//! The longest text of the table, its column names included.
qsizetype longestText(const RepeatedRows &table) {
    qsizetype longest = 0;
    for (const QString &name : table.names)
        longest = qMax(longest, name.size());
    const int k = int(table.pattern.size());
    for (int p = 0; p < qMin(k, table.rows); ++p) {
        const int lastRow = p + (table.rows - 1 - p) / k * k; // made distinct, its text is longest there
        for (int c = 0; c < table.columnCount(); ++c) {
            const QVariant v = table.value(lastRow, c);
            if (v.typeId() == QMetaType::QString) longest = qMax(longest, v.toString().size());
        }
    }
    return longest;
}

quint16 u16At(const QByteArray &b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

//! The stream is a chain of records, each within the size limit, that ends exactly at its end;
//! it opens with the globals' BOF and its sheet entry points at the sheet's BOF.
void checkRecords(const QByteArray &stream) {
    qsizetype at = 0, sheetEntry = -1;
    while (at < stream.size()) {
        require(at + 4 <= stream.size(), "a whole record header");
        const quint16 id = u16At(stream, at), length = u16At(stream, at + 2);
        require(length <= 8224, "a record within the size limit");
        require(at + 4 + length <= stream.size(), "a whole record");
        if (id == 0x0085) sheetEntry = at + 4;
        at += 4 + length;
    }
    require(u16At(stream, 0) == 0x0809 && u16At(stream, 6) == 0x0005, "the globals open the stream");
    require(sheetEntry >= 0, "a sheet entry");
    const quint32 sheet = qFromLittleEndian<quint32>(stream.constData() + sheetEntry);
    require(sheet + 8 <= quint32(stream.size()) && u16At(stream, sheet) == 0x0809 &&
                u16At(stream, sheet + 6) == 0x0010,
            "the sheet entry points at the sheet");
}

QString consumeSheetName(FuzzedDataProvider &in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 2:
        return storableText(in, 40);
    case 3:
        return QString(in.ConsumeIntegralInRange(29, 33), QChar(0x8868));
    default:
        return QStringLiteral("SHEET1");
    }
}

bool validSheetName(const QString &name) {
    static const QRegularExpression forbidden(QStringLiteral("[:\\\\/?*\\[\\]]"));
    return !name.isEmpty() && name.size() <= 31 && !name.contains(forbidden);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir; // removed when the run ends
    FuzzedDataProvider in(data, size);
    const QString sheetName = consumeSheetName(in);
    RepeatedRows table;
    const int columns = in.ConsumeIntegralInRange(0, 31) == 31 ? in.ConsumeIntegralInRange(250, 260)
                                                               : in.ConsumeIntegralInRange(0, 10);
    for (int c = 0; c < columns; ++c)
        table.names << (c < 12 ? storableText(in, 12) : QStringLiteral("c%1").arg(c));
    const int patternRows = in.ConsumeIntegralInRange(1, 8);
    for (int r = 0; r < patternRows; ++r) {
        QVector<QVariant> row;
        for (int c = 0; c < qMin(columns, 12); ++c)
            row.append(consumeValue(in));
        table.pattern.append(row);
    }
    table.distinct = in.ConsumeBool();
    // Fuzzed choices fall back to their least value when the input runs out: that is the small
    // table, and the big ones are the rare choices.
    switch (in.ConsumeIntegralInRange(0, 15)) {
    case 15: // at a sheet's limit and past it
        table.rows = in.ConsumeIntegralInRange(65530, 65540);
        break;
    case 14:
        table.rows = in.ConsumeIntegralInRange(0, 20000);
        break;
    default:
        table.rows = in.ConsumeIntegralInRange(0, 300);
    }

    const qsizetype longest = longestText(table);
    const bool fits = validSheetName(sheetName) && columns <= WorkbookStream::MaxColumns &&
                      table.rows < WorkbookStream::MaxRows && longest <= WorkbookStream::MaxTextLength;
    QByteArray stream;
    try {
        stream = WorkbookStream::build(sheetName, table);
    } catch (const XlsError &e) {
        require(!e.message().isEmpty(), "a refusal says why");
        require(!fits, "refused only what does not fit", e.message());
        return 0;
    }
    require(fits, "what does not fit is refused", sheetName);
    checkRecords(stream);
    const QByteArray file = CompoundFile::pack(stream);
    if (longest > ReadableText || qint64(table.rows) * columns > ReadableCells) return 0;

    const QString path = dir.filePath(QStringLiteral("book.xls"));
    QFile f(path);
    require(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(file) == file.size(), "written");
    f.close();
    const XlsReadBack book = XlsReadBack::read(path);
    require(book.error == 0, "the file reads back", QString::number(book.error));
    require(book.sheetCount == 1 && book.sheetName == asRead(sheetName), "one sheet of that name",
            book.sheetName);
    require(book.rows.size() == (columns ? table.rows + 1 : 0), "every row",
            QStringLiteral("%1 of %2").arg(book.rows.size()).arg(table.rows + 1));
    for (int r = 0; r < book.rows.size(); ++r) {
        const QStringList &row = book.rows[r];
        require(row.size() == columns, "every column");
        for (int c = 0; c < columns; ++c) {
            const QString want =
                r == 0 ? expectedCell(QVariant(table.names[c])) : expectedCell(table.value(r - 1, c));
            require(row[c] == want || (want.isNull() && row[c].startsWith(u"date")), "the cell reads back",
                    QStringLiteral("row %1 column %2: %3 / %4").arg(r).arg(c).arg(row[c], want));
        }
    }
    return 0;
}
