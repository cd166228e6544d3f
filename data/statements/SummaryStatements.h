#pragma once

#include "ExportSheet.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

class Connection;
class Dataset;

//! The statements of the summary page: a day's order lines sorted by shop, the day's total,
//! and the day's export to a spreadsheet file. The day is bound as a date value, never
//! written as text the engine could read as another day. Every failure leaves as DbError.
namespace SummaryStatements {

//! Closes `lines` (the summary's dataset), points it at the order lines of `day` sorted by
//! shop ascending (lines of one shop in the engine's order) and opens it, the first line
//! current. On failure it stays closed.
void openDay(Dataset &lines, const QDate &day);

//! The sum of the prices of `day`'s order lines, read through `query` (the scratch query
//! for reads), as a plain decimal number: empty text for a day without lines, nothing when
//! the engine returned no row. Leaves the query closed.
std::optional<QString> dayTotal(Dataset &query, const QDate &day);

//! The export file for a click at `now`: `folder`, then the twelve digits yyyymmddhhmm of
//! `now` (hours on the 24-hour clock, then minutes), then ".xls".
QString exportPath(const QString &folder, const QDateTime &now);

//! Runs the export statement for `day` on `connection`: a new workbook `path` with the sheet
//! SHEET1 holding every column of `ordern` and one row per order line of the day, then
//! `furtherSheets` in order.
void exportDay(Connection &connection, const QString &path, const QDate &day,
               const QVector<ExportSheet> &furtherSheets = {});

} // namespace SummaryStatements
