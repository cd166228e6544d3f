#pragma once

#include <QString>
#include <QStringView>

struct sqlite3;

//! The text equality of the original dialect, as the collation KTEXT that our statements name
//! (`= ? COLLATE KTEXT`, `GROUP BY col COLLATE KTEXT`): letter case is ignored for every
//! letter, full-width forms equal half-width ones, trailing spaces are ignored.
class TextCollation {
public:
    //! Name under which statements use it.
    static const char *name() { return "KTEXT"; }
    //! The folded form two texts are compared by.
    static QString fold(QStringView text);
    //! <0, 0, >0: a total order consistent with fold().
    static int compare(QStringView a, QStringView b);
    //! Registers the collation on a connection; returns the engine's result code.
    static int install(sqlite3 *handle);
};
