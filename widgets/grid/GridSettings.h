#pragma once

#include "GridTypes.h"

//! The stored settings of a grid as a page places it: the common settings by default, and
//! the two selection styles that grids with check boxes in the indicator column use.
struct GridSettings {
    TGridOptions options = kDefaultGridOptions;
    bool readOnly = true;
    TExOptions exOptions = kDefaultExOptions;
    int widthOfIndicator = 11;
    int defaultRowHeight = 17;
    TScrollStyle scrollBars = TScrollStyle::ssHorizontal;
    bool flat = false;
    TSMDBGTitleHeight titleHeight{TTitleHeightKind::hkAuto, 1, 24};

    //! Any number of rows ticked by check box, with room for the box in the indicator column.
    static GridSettings tickMany();
    //! At most one row ticked by check box, the current row highlighted whole, no editing.
    static GridSettings tickOneRow();
};
