#pragma once

#include <QString>

//! The statement text our statements use, as PostgreSQL reads it. The statements are written
//! once for both engines; only these spellings differ.
class PostgresDialect {
public:
    //! `?` placeholders (outside quotes and comments) become `$1`, `$2`, ...; a grouping
    //! `GROUP BY col COLLATE KTEXT` becomes `GROUP BY col`, since the server refuses the collation
    //! there and the columns compare by it already; `COLLATE BINARY` (exact comparison) becomes
    //! `COLLATE "C"`.
    static QString translate(const QString &text);
    //! An INSERT into one of our tables gets `RETURNING` its key column, so the new key comes
    //! back with the insert; `key` receives that column. Otherwise the text unchanged.
    static QString withReturningKey(const QString &text, QString *key);
    //! A select whose first column is its table's key, ordered by that key after any order it
    //! names: rows it leaves unordered, and its ties, come in key order as the file gives them,
    //! where the server would give them as they lie (an updated row last).
    static QString withKeyOrder(const QString &text);
};
