#pragma once

#include "LocaleFormats.h"
#include "Schema.h"

#include <QVariant>

//! Converts values typed by users into what a schema column stores, the way the original
//! dialect converted quoted values: "35" into an integer, "2026/12/09" (system separators or
//! the short date format) into the ISO date "2026-12-09", "13:05" into "13:05". Whatever cannot
//! be converted, a text longer than its column, or an account name that sign-in could never
//! match (AccountNameRule), is refused with DbError.
class ValueConverter {
public:
    explicit ValueConverter(const LocaleFormats &formats)
        : m_formats(formats) {}

    //! The value to store in `column`; a null value stays null. Throws DbError on refusal.
    QVariant convert(const ColumnInfo &column, const QVariant &value) const;

    //! A date text in any accepted form; invalid QDate when there is none.
    QDate parseDate(const QString &text) const;
    //! A time text "HH:NN" (system separator, or ':'); invalid QTime when there is none.
    QTime parseTime(const QString &text) const;

private:
    QVariant toInteger(const ColumnInfo &column, const QVariant &value) const;
    QVariant toDate(const ColumnInfo &column, const QVariant &value) const;
    QVariant toTime(const ColumnInfo &column, const QVariant &value) const;
    QVariant toText(const ColumnInfo &column, const QVariant &value) const;

    LocaleFormats m_formats;
};
