#pragma once

#include "LocaleFormats.h"

//! The system locale's date and time conventions behind one interface, so that tests can set
//! any short date format and separators.
class Locale {
public:
    virtual ~Locale() = default;

    //! The short date format and the date and time separators.
    virtual LocaleFormats formats() const = 0;

    //! The locale in force; the system's until another is installed.
    static Locale &current();
    //! Installs `locale` (not owned); null restores the system's.
    static void install(Locale *locale);
};
