#pragma once

#include <QColor>
#include <QFlags>

//! The base grid's options.
enum TGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
    dgMultiSelect = 1u << 12,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

//! The grid's extended options; bit n is option n.
enum TExOption : unsigned {
    eoAutoWidth = 1u << 0,
    eoBooleanAsCheckBox = 1u << 1,
    eoCheckBoxSelect = 1u << 2,
    eoCellHint = 1u << 3,
    eoDisableDelete = 1u << 4,
    eoDisableInsert = 1u << 5,
    eoDrawGraphicField = 1u << 6,
    eoENTERlikeTAB = 1u << 7,
    eoFixedLikeColumn = 1u << 8,
    eoKeepSelection = 1u << 9,
    eoLayout = 1u << 10,
    eoRowNumber = 1u << 11,
    eoRowSizing = 1u << 12,
    eoSelectedTitle = 1u << 13,
    eoShowFooter = 1u << 14,
    eoShowGlyphs = 1u << 15,
    eoShowLookup = 1u << 16,
    eoShowRecNo = 1u << 17,
    eoStandardPopup = 1u << 18,
    eoTitleButtons = 1u << 19,
    eoAutoSave = 1u << 20,
    eoAutoLoad = 1u << 21,
    eoDrawBands = 1u << 22,
    eoHotTrack = 1u << 23,
    eoBLOBEditor = 1u << 24,
    eoBandsOverTitles = 1u << 25,
    eoRowHeightAutofit = 1u << 26,
    eoTitleWordWrap = 1u << 27,
    eoShowFilterBar = 1u << 28,
    eoAnyKeyFilter = 1u << 29,
};
Q_DECLARE_FLAGS(TExOptions, TExOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TExOptions)

//! The base grid's options when none are set explicitly.
constexpr TGridOptions kDefaultGridOptions =
    TGridOptions(dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                 dgConfirmDelete | dgCancelOnExit);
//! The grid's default extended options (bits 7, 9, 18, 24 and 27).
constexpr TExOptions kDefaultExOptions =
    TExOptions(eoENTERlikeTAB | eoKeepSelection | eoStandardPopup | eoBLOBEditor | eoTitleWordWrap);

//! Row colouring schemes; only the first two are drawn, the named schemes fall back to custom.
enum class TSMGridStyleKind { gsNormal, gsCustom };

//! Row colouring: odd and even rows of the visible window (the top visible row is "odd").
struct TSMDBGridStyle {
    TSMGridStyleKind Style = TSMGridStyleKind::gsCustom;
    QColor OddColor;
    QColor EvenColor;
};

//! How the title row's height is found.
enum class TTitleHeightKind { hkAuto, hkLineCount, hkPixelCount };

//! The title-row height rule.
struct TSMDBGTitleHeight {
    TTitleHeightKind Kind = TTitleHeightKind::hkAuto;
    int LineCount = 1;
    int PixelCount = 17;
};

//! Which scroll bars the grid shows.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
