#pragma once

#include "TNavigateBtnX.h"

#include <QString>
#include <QStringList>

//! The fixed texts and glyph names of the navigator's buttons.
class NavButtonDefaults {
public:
    //! The button's default caption ("首筆", ...).
    static QString caption(TNavigateBtnX button);
    //! The button's default hint ("Ctrl+Home 首筆", ...).
    static QString hint(TNavigateBtnX button);
    //! The glyph's name: the bitmap is "DBX_" followed by it ("FIRST", ...).
    static QString glyphName(TNavigateBtnX button);
    //! The enumeration name ("nbFirst", ...), for object names.
    static QString name(TNavigateBtnX button);
    //! All default captions (hints) in button order.
    static QStringList captions();
    static QStringList hints();
    //! The question asked before a delete.
    static QString deleteQuestion();
};
