#pragma once

#include <QString>

class ValueConverter;

//! The rewriting of statement text before the engine sees it: date literals of the old
//! dialect, and the key column that lets a select's rows be written back to their table.
class StatementRewriter {
public:
    //! `#date#` literals (outside quotes) become ISO text literals, so statements written the
    //! old way compare with the ISO text that date columns hold. A date is read as the short
    //! date format or year/month/day, else month/day/year as the old dialect did. Throws
    //! DbError for a literal that is no date.
    static QString translateDateLiterals(const QString &text, const ValueConverter &converter);
    //! The select with `key` as its first result column; empty when the text does not start
    //! with SELECT (after white space).
    static QString withKeyColumn(const QString &text, const QString &key);
    //! The select with `words` (ending in white space) right after its SELECT keyword; empty
    //! when the text does not start with SELECT (after white space).
    static QString afterSelect(const QString &text, const QString &words);
};
