#pragma once

#include <QString>
#include <QStringView>

struct sqlite3;

//! The text equality of the original dialect, as the collation KTEXT that our statements name
//! (`= ? COLLATE KTEXT`, `GROUP BY col COLLATE KTEXT`): letter case is ignored for every
//! letter of every script, full-width forms equal half-width ones, trailing spaces are ignored.
//! Nothing else is folded: circled digits, ligatures and compatibility ideographs stay
//! different characters, and Chinese characters compare character for character.
class TextCollation {
public:
    //! Name under which statements use it.
    static const char *name() { return "KTEXT"; }
    //! The folded form two texts are compared by: equal folds are equal texts.
    static QString fold(QStringView text);
    //! <0, 0, >0: a total order consistent with fold(); allocates nothing.
    static int compare(QStringView a, QStringView b);
    //! compare(a, b) == 0.
    static bool equal(QStringView a, QStringView b) { return compare(a, b) == 0; }
    //! Registers the collation on a connection; returns the engine's result code.
    static int install(sqlite3 *handle);
};
