#pragma once

#include <QByteArray>
#include <QString>

class XlsTable;

//! The "Workbook" stream of a BIFF8 (Excel 97-2003) file with one worksheet: the workbook
//! globals (fonts, formats, cell styles, the sheet's entry, the shared strings) and the sheet.
class WorkbookStream {
public:
    //! The most rows a sheet holds, the column names' row included.
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    //! The longest text a cell holds.
    static constexpr int MaxTextLength = 32767;

    //! The stream for one sheet named `sheetName` holding `table`. Throws XlsError when the
    //! name or the table does not fit a sheet.
    static QByteArray build(const QString &sheetName, const XlsTable &table);
};
