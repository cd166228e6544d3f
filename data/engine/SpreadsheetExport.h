#pragma once

#include "ExportSheet.h"
#include "Statement.h"

#include <QString>
#include <optional>

class Connection;

//! The engine's spreadsheet export statement,
//! `SELECT <columns> INTO <sheet> IN "<path>" "Excel 8.0;" FROM <tables and conditions>`:
//! runs the select and writes its rows as a new Excel 8.0 workbook `path` whose first sheet is
//! `sheet`, the column names as the first row; further sheets the caller built may follow.
namespace SpreadsheetExport {

//! What an export statement asks for.
struct Target {
    QString sheet;  //!< the sheet to make
    QString path;   //!< the workbook file
    QString select; //!< the statement without its INTO clause
};

//! The target of `text` when it is an export statement; empty for any other statement.
std::optional<Target> recognise(const QString &text);

//! Runs the select of `target` on `connection` with `params` and writes the workbook: the
//! select's sheet, then `furtherSheets` in order. Columns of the schema's date and time types
//! become date and time cells. Throws DbError: the engine's failure, or why the file could not
//! be written (it exists, the folder cannot be written, the disk is full, a sheet name is
//! invalid or given twice); no file is left behind then.
void run(Connection &connection, const Target &target, const QVector<Statement::Param> &params,
         const QVector<ExportSheet> &furtherSheets);

} // namespace SpreadsheetExport
