#pragma once

#include "BiffStream.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

class SharedStrings;

//! The cell records of one sheet, each value as the cell its type asks for: numbers as number
//! cells, days, times and moments as numbers with a date or time format, texts through the
//! workbook's shared strings; a null or an empty text leaves the cell empty. Remembers each
//! column's widest content for the column widths.
class SheetCells {
public:
    //! The workbook's cell formats (XF records): the first 15 XF records are styles.
    enum Xf : quint16 { XfGeneral = 15, XfDate, XfTime, XfDateTime };

    SheetCells(SharedStrings &strings, int columns);

    //! Writes the cell at `row`, `column` for `value`. Throws XlsError for a text longer than
    //! a cell holds.
    void write(int row, int column, const QVariant &value);
    //! Writes a text cell; an empty text leaves the cell empty.
    void text(int row, int column, const QString &s);

    //! The cell records written so far, in order.
    const QByteArray &records() const { return m_cells.bytes(); }
    //! Each column's widest content, in half-width characters.
    const QVector<int> &widths() const { return m_widths; }

private:
    void number(int row, int column, double value, quint16 xfIndex, int width);
    void widen(int column, int width);

    SharedStrings &m_strings;
    BiffStream m_cells;
    QVector<int> m_widths;
};
