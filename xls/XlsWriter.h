#pragma once

#include <QString>

class XlsTable;

//! Writes spreadsheet files in the Excel 97-2003 format (BIFF8, ".xls").
class XlsWriter {
public:
    //! Writes a new workbook `path` with one sheet `sheetName` holding `table`: the column
    //! names as the first row, then one row per table row. Refuses to touch an existing file;
    //! a failure leaves no file behind. Throws XlsError with the reason.
    static void write(const QString &path, const QString &sheetName, const XlsTable &table);
};
