#pragma once

#include "Locale.h"

//! Locale conventions for tests: installs itself while it lives.
class FixedLocale : public Locale {
public:
    explicit FixedLocale(const LocaleFormats &formats)
        : m_formats(formats) {
        Locale::install(this);
    }
    ~FixedLocale() override { Locale::install(nullptr); }
    FixedLocale(const FixedLocale &) = delete;
    FixedLocale &operator=(const FixedLocale &) = delete;

    void set(const LocaleFormats &formats) { m_formats = formats; }
    LocaleFormats formats() const override { return m_formats; }

private:
    LocaleFormats m_formats;
};
