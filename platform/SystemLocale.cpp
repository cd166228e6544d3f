#include "SystemLocale.h"

namespace {
// The first character of a date or time format that is neither a field letter nor a space,
// nor inside a quoted literal.
QChar firstSeparator(const QString &format, QChar fallback) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace()) return c;
    }
    return fallback;
}
} // namespace

LocaleFormats SystemLocale::formatsOf(const QLocale &locale) {
    LocaleFormats formats;
    const QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.isEmpty()) formats.shortDateFormat = date;
    formats.dateSeparator = firstSeparator(date, QLatin1Char('/'));
    formats.timeSeparator = firstSeparator(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
    return formats;
}
