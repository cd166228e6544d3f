#include "SheetCells.h"

#include "BiffRecordIds.h"
#include "SharedStrings.h"
#include "WorkbookStream.h"
#include "XlsError.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace {

using B = BiffStream;

// The first day that counts the same in every spreadsheet program: the 1900 date system
// counts a 29 February 1900 that never was, so earlier days would show one day off.
const QDate FirstSerialDay(1900, 3, 1);
const QDate SerialEpoch(1899, 12, 30);

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

} // namespace

SheetCells::SheetCells(SharedStrings &strings, int columns)
    : m_strings(strings)
    , m_widths(columns, 0) {}

void SheetCells::write(int row, int column, const QVariant &v) {
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
                      double(SerialEpoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0,
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

void SheetCells::text(int row, int column, const QString &s) {
    if (s.isEmpty()) return; // an empty text is an empty cell
    if (s.size() > WorkbookStream::MaxTextLength)
        throw XlsError(QStringLiteral("A text of %1 characters is longer than a spreadsheet cell holds (%2).")
                           .arg(s.size())
                           .arg(WorkbookStream::MaxTextLength));
    QByteArray p = cellHeader(row, column, XfGeneral);
    B::u32(p, m_strings.add(s));
    m_cells.record(BiffId::LabelSst, p);
    widen(column, textWidth(s));
}

void SheetCells::number(int row, int column, double value, quint16 xfIndex, int width) {
    QByteArray p = cellHeader(row, column, xfIndex);
    B::f64(p, value);
    m_cells.record(BiffId::Number, p);
    widen(column, width);
}

void SheetCells::widen(int column, int width) {
    m_widths[column] = std::max(m_widths[column], width);
}
