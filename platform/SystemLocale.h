#pragma once

#include "Locale.h"

#include <QLocale>

//! The conventions of the system locale, as Qt reports them.
class SystemLocale : public Locale {
public:
    LocaleFormats formats() const override { return formatsOf(QLocale::system()); }

    //! The short date format of `locale` and the separators that format and the short time
    //! format use.
    static LocaleFormats formatsOf(const QLocale &locale);
};
