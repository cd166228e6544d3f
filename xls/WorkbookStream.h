#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

class XlsTable;
struct XlsSheet;

//! The "Workbook" stream of a BIFF8 (Excel 97-2003) file: the workbook globals (fonts, formats,
//! cell styles, one entry per sheet, the strings all sheets share) and then each sheet.
class WorkbookStream {
public:
    //! The most rows a sheet holds, the column names' row included.
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    //! The longest text a cell holds.
    static constexpr int MaxTextLength = 32767;
    //! The longest sheet name.
    static constexpr int MaxSheetName = 31;

    //! The stream for `sheets`, in order (the first one the sheet shown on opening), each with
    //! its table's column names as the first row. Throws XlsError when there is no sheet, a name
    //! is invalid or given twice (letter case aside), or a table does not fit a sheet.
    static QByteArray build(const QVector<XlsSheet> &sheets);
    //! The stream for one sheet named `sheetName` holding `table`.
    static QByteArray build(const QString &sheetName, const XlsTable &table);
};
