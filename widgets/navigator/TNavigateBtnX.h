#pragma once

//! The navigator's buttons, in bar order; the value is also the bit position in a TButtonSet.
enum TNavigateBtnX : int {
    nbFirst,
    nbRW,
    nbPrior,
    nbNext,
    nbFF,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh,
    nbMark,
    nbGoto,
    nbPreview,
    nbPrint,
    nbTools,
    nbExecute,
    nbSearch,
    nbExit,
    nbQuery,
    nbCopy,
    nbPaste,
};

//! Number of buttons a navigator owns.
inline constexpr int NavButtonCount = nbPaste + 1;

//! How the bar arranges its visible buttons.
enum TNavShowTypeName : int {
    stWidth,  //!< side by side across the bar
    stHeight, //!< stacked from the top
};

//! Where a button's glyph stands relative to its caption.
enum TButtonLayout : int { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
