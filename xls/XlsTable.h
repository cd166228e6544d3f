#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

//! What one sheet of a workbook holds: column names for the first row, then rows of values.
//! A value's type decides its cell: numbers become number cells, QDate / QTime / QDateTime
//! date and time cells, texts text cells; a null value or an empty text leaves the cell empty.
class XlsTable {
public:
    virtual ~XlsTable() = default;
    //! Number of data rows (the column names' row not counted).
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    //! Name of a column, written into the first row.
    virtual QString columnName(int column) const = 0;
    //! Value of a data cell, `row` counted from 0 below the names.
    virtual QVariant value(int row, int column) const = 0;
};

//! An XlsTable that holds its values.
class XlsRows : public XlsTable {
public:
    //! Column names, in order.
    QStringList columns;
    //! Rows of values in column order; a short row leaves its last cells empty.
    QVector<QVector<QVariant>> rows;

    int rowCount() const override { return int(rows.size()); }
    int columnCount() const override { return int(columns.size()); }
    QString columnName(int column) const override { return columns.value(column); }
    QVariant value(int row, int column) const override { return rows.at(row).value(column); }
};

//! One named sheet of a workbook and the table it holds (not owned: it must outlive the write).
struct XlsSheet {
    QString name;
    const XlsTable *table = nullptr;
};
