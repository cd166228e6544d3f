#include "WorkbookStream.h"

#include "BiffRecordIds.h"
#include "BiffStream.h"
#include "SharedStrings.h"
#include "XlsError.h"
#include "XlsTable.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace {

using B = BiffStream;

// Cell formats: the first 15 XF records are styles, cell XFs follow.
enum Xf : quint16 { XfGeneral = 15, XfDate, XfTime, XfDateTime };
// Custom number formats start at 164.
constexpr quint16 FmtDate = 164, FmtTime = 165, FmtDateTime = 166;

// The first day that counts the same in every spreadsheet program: the 1900 date system
// counts a 29 February 1900 that never was, so earlier days would show one day off.
const QDate FirstSerialDay(1900, 3, 1);
const QDate SerialEpoch(1899, 12, 30);

QByteArray bof(quint16 type) {
    QByteArray p;
    B::u16(p, 0x0600); // BIFF8
    B::u16(p, type);
    B::u16(p, 0x0DBB); // build
    B::u16(p, 0x07CC); // year
    B::u32(p, 0);
    B::u32(p, 0x06); // lowest version that reads it: BIFF8
    return p;
}

QByteArray u16Payload(quint16 v) {
    QByteArray p;
    B::u16(p, v);
    return p;
}

QByteArray window1() {
    QByteArray p;
    for (quint16 v : {0, 0, 0x25BC, 0x1572, 0x0038, 0, 0, 1, 0x0258})
        B::u16(p, v);
    return p;
}

QByteArray font() {
    QByteArray p;
    B::u16(p, 200);    // 10 points, in twentieths
    B::u16(p, 0);      // no italic, strike-out or outline
    B::u16(p, 0x7FFF); // the window text colour
    B::u16(p, 400);    // normal weight
    B::u16(p, 0);      // no super- or subscript
    B::u8(p, 0);       // no underline
    B::u8(p, 0);       // family
    B::u8(p, 1);       // default character set
    B::u8(p, 0);
    B::shortString(p, QStringLiteral("Arial"));
    return p;
}

QByteArray format(quint16 index, const QString &code) {
    QByteArray p;
    B::u16(p, index);
    B::longString(p, code);
    return p;
}

QByteArray xf(quint16 font, quint16 numberFormat, bool style, quint8 used) {
    QByteArray p;
    B::u16(p, font);
    B::u16(p, numberFormat);
    B::u16(p, style ? 0xFFF5 : 0x0001); // locked; a style has no parent, a cell XF has style 0
    B::u8(p, 0x20);                     // aligned at the bottom
    B::u8(p, 0);
    B::u8(p, 0);
    B::u8(p, used); // which attributes this XF sets itself (number format: bit 2)
    B::u32(p, 0);   // no borders
    B::u32(p, 0);   // no fill
    B::u16(p, 0x20C0);
    return p;
}

QByteArray cellHeader(int row, int column, quint16 xfIndex) {
    QByteArray p;
    B::u16(p, quint16(row));
    B::u16(p, quint16(column));
    B::u16(p, xfIndex);
    return p;
}

//! Width of a text in half-width characters: CJK and full-width forms count two.
int textWidth(const QString &s) {
    int w = 0;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        w += (u >= 0x1100 && !(u >= 0xFF61 && u <= 0xFFDC)) ? 2 : 1;
    }
    return w;
}

//! Writes the cells of one sheet and remembers each column's widest content.
class CellWriter {
public:
    CellWriter(SharedStrings &strings, int columns)
        : m_strings(strings)
        , m_widths(columns, 0) {}

    void write(int row, int column, const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            return;
        case QMetaType::QDate: {
            const QDate d = v.toDate();
            if (!d.isValid()) return;
            if (d < FirstSerialDay) return text(row, column, d.toString(QStringLiteral("yyyy/MM/dd")));
            return number(row, column, double(SerialEpoch.daysTo(d)), XfDate, 10);
        }
        case QMetaType::QTime: {
            const QTime t = v.toTime();
            if (!t.isValid()) return;
            return number(row, column, t.msecsSinceStartOfDay() / 86400000.0, XfTime, 5);
        }
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            if (!dt.isValid()) return;
            if (dt.date() < FirstSerialDay)
                return text(row, column, dt.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
            return number(row, column,
                          double(SerialEpoch.daysTo(dt.date())) +
                              dt.time().msecsSinceStartOfDay() / 86400000.0,
                          XfDateTime, 16);
        }
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float: {
            const double d = v.toDouble();
            // Spreadsheets have no infinities or NaN: such a value is kept as its text.
            if (!std::isfinite(d)) return text(row, column, v.toString());
            return number(row, column, d, XfGeneral, int(QString::number(d, 'g', 15).size()));
        }
        default:
            return text(row, column, v.toString());
        }
    }

    void text(int row, int column, const QString &s) {
        if (s.isEmpty()) return; // an empty text is an empty cell
        if (s.size() > WorkbookStream::MaxTextLength)
            throw XlsError(
                QStringLiteral("A text of %1 characters is longer than a spreadsheet cell holds (%2).")
                    .arg(s.size())
                    .arg(WorkbookStream::MaxTextLength));
        QByteArray p = cellHeader(row, column, XfGeneral);
        B::u32(p, m_strings.add(s));
        m_cells.record(BiffId::LabelSst, p);
        widen(column, textWidth(s));
    }

    const QByteArray &cells() const { return m_cells.bytes(); }
    const QVector<int> &widths() const { return m_widths; }

private:
    void number(int row, int column, double value, quint16 xfIndex, int width) {
        QByteArray p = cellHeader(row, column, xfIndex);
        B::f64(p, value);
        m_cells.record(BiffId::Number, p);
        widen(column, width);
    }
    void widen(int column, int width) { m_widths[column] = std::max(m_widths[column], width); }

    SharedStrings &m_strings;
    BiffStream m_cells;
    QVector<int> m_widths;
};

void checkSheetName(const QString &name) {
    static const QRegularExpression forbidden(QStringLiteral("[:\\\\/?*\\[\\]]"));
    if (name.isEmpty() || name.size() > 31 || name.contains(forbidden))
        throw XlsError(QStringLiteral("'%1' is not a valid sheet name: it needs 1 to 31 characters, "
                                      "none of : \\ / ? * [ ].")
                           .arg(name));
}

QByteArray globals(const QString &sheetName, const SharedStrings &strings, qsizetype &sheetPositionAt) {
    BiffStream g;
    g.record(BiffId::Bof, bof(0x0005));
    g.record(BiffId::CodePage, u16Payload(0x04B0)); // UTF-16
    g.record(BiffId::Window1, window1());
    g.record(BiffId::DateMode, u16Payload(0)); // the 1900 date system
    g.record(BiffId::Precision, u16Payload(1));
    // Readers never use font index 4, so five fonts give indexes 0 to 3 and 5.
    for (int i = 0; i < 5; ++i)
        g.record(BiffId::Font, font());
    g.record(BiffId::Format, format(FmtDate, QStringLiteral("yyyy/mm/dd")));
    g.record(BiffId::Format, format(FmtTime, QStringLiteral("hh:mm")));
    g.record(BiffId::Format, format(FmtDateTime, QStringLiteral("yyyy/mm/dd hh:mm")));
    g.record(BiffId::Xf, xf(0, 0, true, 0x00));
    for (quint16 i = 1; i < 15; ++i)
        g.record(BiffId::Xf, xf(i <= 2 ? 1 : i <= 4 ? 2 : 0, 0, true, 0xF4));
    // A cell XF must claim every attribute, or some readers ignore its number format.
    for (quint16 fmt : {quint16(0), FmtDate, FmtTime, FmtDateTime})
        g.record(BiffId::Xf, xf(0, fmt, false, 0xFC));
    QByteArray style;
    B::u16(style, 0x8000); // built-in style on XF 0
    B::u8(style, 0);       // "Normal"
    B::u8(style, 0xFF);
    g.record(BiffId::Style, style);

    QByteArray sheet;
    B::u32(sheet, 0); // position of the sheet's BOF, patched once known
    B::u8(sheet, 0);  // visible
    B::u8(sheet, 0);  // worksheet
    B::shortString(sheet, sheetName);
    sheetPositionAt = g.pos() + 4;
    g.record(BiffId::BoundSheet, sheet);

    strings.write(g);
    g.record(BiffId::Eof, {});
    return g.bytes();
}

} // namespace

QByteArray WorkbookStream::build(const QString &sheetName, const XlsTable &table) {
    checkSheetName(sheetName);
    const int columns = table.columnCount();
    const int rows = table.rowCount();
    if (columns > MaxColumns)
        throw XlsError(QStringLiteral("%1 columns do not fit a spreadsheet sheet (at most %2).")
                           .arg(columns)
                           .arg(MaxColumns));
    if (rows > MaxRows - 1)
        throw XlsError(QStringLiteral("%1 rows do not fit a spreadsheet sheet (at most %2 below the "
                                      "column names).")
                           .arg(rows)
                           .arg(MaxRows - 1));

    SharedStrings strings;
    CellWriter cells(strings, columns);
    for (int c = 0; c < columns; ++c)
        cells.text(0, c, table.columnName(c));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells.write(r + 1, c, table.value(r, c));

    qsizetype sheetPositionAt = 0;
    BiffStream stream;
    stream.append(globals(sheetName, strings, sheetPositionAt));
    stream.patch32(sheetPositionAt, quint32(stream.pos()));

    stream.record(BiffId::Bof, bof(0x0010));
    // Columns as wide as their widest content, so dates do not show as "#####".
    for (int c = 0; c < columns; ++c) {
        QByteArray p;
        B::u16(p, quint16(c));
        B::u16(p, quint16(c));
        B::u16(p, quint16(std::clamp(cells.widths().at(c) + 2, 9, 80) * 256));
        B::u16(p, XfGeneral);
        B::u16(p, 0);
        B::u16(p, 0);
        stream.record(BiffId::ColInfo, p);
    }
    QByteArray dim;
    B::u32(dim, 0);
    B::u32(dim, quint32(columns ? rows + 1 : 0));
    B::u16(dim, 0);
    B::u16(dim, quint16(columns));
    B::u16(dim, 0);
    stream.record(BiffId::Dimensions, dim);
    stream.append(cells.cells());
    QByteArray w2;
    B::u16(w2, 0x06B6); // grid lines, headers, zeros, selected sheet
    B::u16(w2, 0);
    B::u16(w2, 0);
    B::u32(w2, 0x40);
    B::u16(w2, 0);
    B::u16(w2, 0);
    B::u32(w2, 0);
    stream.record(BiffId::Window2, w2);
    stream.record(BiffId::Eof, {});
    return stream.bytes();
}
