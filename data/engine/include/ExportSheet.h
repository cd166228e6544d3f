#pragma once

#include "ResultSet.h"

#include <QString>

//! A sheet that an export adds after the one its statement makes: a name and rows the caller
//! built (a select's result, or rows put together in code). The column names are the first
//! row; numbers stay number cells and texts text cells, and a column that comes from a date or
//! time column of the schema (ResultColumn::table and originName) becomes date or time cells.
struct ExportSheet {
    QString name;
    ResultSet rows;
};
