#pragma once

#include <QColor>

class Dataset;

//! The shading of the item, order and menu grids: every cell of a row whose record number is
//! odd gets a money-green background, so that long lists read row by row.
class OddRowShading {
public:
    //! Money green, 12639424 (hexadecimal C0DCC0).
    static constexpr QColor MoneyGreen{0xC0, 0xDC, 0xC0};

    //! Does a row with this record number get the shading? Record numbers of 0 or below (a
    //! dataset that cannot tell the position) never do.
    static constexpr bool shades(int recordNumber) { return recordNumber % 2 == 1; }

    //! Answers a cell-parameters request of a grid over `dataset`: sets `background` to money
    //! green when the dataset's current record (the row being painted) has an odd record
    //! number, else leaves it as the grid proposed it. Reads the record number only: the
    //! dataset is never moved.
    static void apply(const Dataset &dataset, QColor &background);
};
