#include "WorkbookStream.h"

#include "BiffRecordIds.h"
#include "BiffStream.h"
#include "SharedStrings.h"
#include "SheetCells.h"
#include "XlsError.h"
#include "XlsTable.h"

#include <QRegularExpression>
#include <QVector>
#include <algorithm>
#include <vector>

namespace {

using B = BiffStream;

// Custom number formats start at 164.
constexpr quint16 FmtDate = 164, FmtTime = 165, FmtDateTime = 166;

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

void checkSheetName(const QString &name) {
    static const QRegularExpression forbidden(QStringLiteral("[:\\\\/?*\\[\\]]"));
    if (name.isEmpty() || name.size() > WorkbookStream::MaxSheetName || name.contains(forbidden))
        throw XlsError(QStringLiteral("'%1' is not a valid sheet name: it needs 1 to 31 characters, "
                                      "none of : \\ / ? * [ ].")
                           .arg(name));
}

//! Refuses what no sheet can hold, before anything is built.
void checkSheets(const QVector<XlsSheet> &sheets) {
    if (sheets.isEmpty()) throw XlsError(QStringLiteral("A workbook needs at least one sheet."));
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const XlsSheet &sheet = sheets[i];
        checkSheetName(sheet.name);
        // Spreadsheet programs tell sheets apart by name, letter case aside.
        for (qsizetype j = 0; j < i; ++j)
            if (sheets[j].name.compare(sheet.name, Qt::CaseInsensitive) == 0)
                throw XlsError(QStringLiteral("The sheet name '%1' is given twice.").arg(sheet.name));
        const int columns = sheet.table->columnCount();
        const int rows = sheet.table->rowCount();
        if (columns > WorkbookStream::MaxColumns)
            throw XlsError(QStringLiteral("%1 columns do not fit a spreadsheet sheet (at most %2).")
                               .arg(columns)
                               .arg(WorkbookStream::MaxColumns));
        if (rows > WorkbookStream::MaxRows - 1)
            throw XlsError(QStringLiteral("%1 rows do not fit a spreadsheet sheet (at most %2 below the "
                                          "column names).")
                               .arg(rows)
                               .arg(WorkbookStream::MaxRows - 1));
    }
}

//! The globals; `sheetPositionsAt` gets where each sheet's entry keeps its stream position.
QByteArray globals(const QVector<XlsSheet> &sheets, const SharedStrings &strings,
                   QVector<qsizetype> &sheetPositionsAt) {
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
    // A cell XF must claim every attribute, or some readers ignore its number format. In the
    // order of SheetCells::Xf.
    for (quint16 fmt : {quint16(0), FmtDate, FmtTime, FmtDateTime})
        g.record(BiffId::Xf, xf(0, fmt, false, 0xFC));
    QByteArray style;
    B::u16(style, 0x8000); // built-in style on XF 0
    B::u8(style, 0);       // "Normal"
    B::u8(style, 0xFF);
    g.record(BiffId::Style, style);

    for (const XlsSheet &s : sheets) {
        QByteArray sheet;
        B::u32(sheet, 0); // position of the sheet's BOF, patched once known
        B::u8(sheet, 0);  // visible
        B::u8(sheet, 0);  // worksheet
        B::shortString(sheet, s.name);
        sheetPositionsAt.append(g.pos() + 4);
        g.record(BiffId::BoundSheet, sheet);
    }

    strings.write(g);
    g.record(BiffId::Eof, {});
    return g.bytes();
}

//! One sheet's records, from its BOF to its EOF; the first sheet is the one shown.
QByteArray sheetStream(const SheetCells &cells, int rows, int columns, bool shown) {
    BiffStream stream;
    stream.record(BiffId::Bof, bof(0x0010));
    // Columns as wide as their widest content, so dates do not show as "#####".
    for (int c = 0; c < columns; ++c) {
        QByteArray p;
        B::u16(p, quint16(c));
        B::u16(p, quint16(c));
        B::u16(p, quint16(std::clamp(cells.widths().at(c) + 2, 9, 80) * 256));
        B::u16(p, SheetCells::XfGeneral);
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
    stream.append(cells.records());
    QByteArray w2;
    // Grid lines, headers, zeros; the shown sheet is also the selected and active one.
    B::u16(w2, shown ? 0x06B6 : 0x00B6);
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

} // namespace

QByteArray WorkbookStream::build(const QVector<XlsSheet> &sheets) {
    checkSheets(sheets);
    // Every sheet's cells first: the globals carry the strings that all of them share.
    SharedStrings strings;
    std::vector<SheetCells> cells;
    cells.reserve(size_t(sheets.size()));
    for (const XlsSheet &sheet : sheets) {
        const XlsTable &table = *sheet.table;
        const int columns = table.columnCount();
        SheetCells &c = cells.emplace_back(strings, columns);
        for (int col = 0; col < columns; ++col)
            c.text(0, col, table.columnName(col));
        for (int r = 0; r < table.rowCount(); ++r)
            for (int col = 0; col < columns; ++col)
                c.write(r + 1, col, table.value(r, col));
    }

    QVector<qsizetype> sheetPositionsAt;
    BiffStream stream;
    stream.append(globals(sheets, strings, sheetPositionsAt));
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        stream.patch32(sheetPositionsAt[i], quint32(stream.pos()));
        const XlsTable &table = *sheets[i].table;
        stream.append(sheetStream(cells[size_t(i)], table.rowCount(), table.columnCount(), i == 0));
    }
    return stream.bytes();
}

QByteArray WorkbookStream::build(const QString &sheetName, const XlsTable &table) {
    return build({XlsSheet{sheetName, &table}});
}
