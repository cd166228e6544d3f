#pragma once

#include <QString>
#include <QVector>

class XlsTable;
struct XlsSheet;

//! Writes spreadsheet files in the Excel 97-2003 format (BIFF8, ".xls").
class XlsWriter {
public:
    //! Writes a new workbook `path` with `sheets` in order, each holding its table: the column
    //! names as the first row, then one row per table row. Refuses to touch an existing file;
    //! a failure leaves no file behind. Throws XlsError with the reason.
    static void write(const QString &path, const QVector<XlsSheet> &sheets);
    //! Writes a new workbook `path` with one sheet `sheetName` holding `table`.
    static void write(const QString &path, const QString &sheetName, const XlsTable &table);
};
