#include "Locale.h"

#include "SystemLocale.h"

namespace {
Locale *g_locale = nullptr;
} // namespace

Locale &Locale::current() {
    static SystemLocale system;
    return g_locale ? *g_locale : system;
}

void Locale::install(Locale *locale) {
    g_locale = locale;
}
