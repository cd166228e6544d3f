#pragma once

#include "GridTypes.h"

#include <QString>

//! The stored settings of one grid as its page places it.
struct GridSettings {
    QString name;
    TGridOptions options = kDefaultGridOptions;
    bool readOnly = true;
    TExOptions exOptions = kDefaultExOptions;
    int widthOfIndicator = 11;
    int defaultRowHeight = 17;
    TScrollStyle scrollBars = TScrollStyle::ssHorizontal;
    bool flat = false;
    TSMDBGTitleHeight titleHeight{TTitleHeightKind::hkAuto, 1, 24};

    //! The settings of "SMDBGrid1" .. "SMDBGrid5"; unknown names get the common settings.
    static GridSettings forGrid(const QString &name);
};
