#pragma once

// Shared by the fuzz targets: reading Qt values out of a fuzzer's bytes, and stopping loudly
// when a property fails.
#include "LocaleFormats.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <iterator>

//! Stops the run (libFuzzer saves the input) when `ok` is false.
inline void require(bool ok, const char *what, const QString &detail = QString()) {
    if (ok) return;
    std::fprintf(stderr, "property failed: %s\n%s\n", what, qUtf8Printable(detail));
    std::abort();
}

//! A text of up to `maxUnits` raw UTF-16 units: any unit, lone surrogates and NUL included.
inline QString consumeText(FuzzedDataProvider &in, size_t maxUnits) {
    const size_t units = in.ConsumeIntegralInRange<size_t>(0, maxUnits);
    QString s;
    s.reserve(qsizetype(units));
    for (size_t i = 0; i < units && in.remaining_bytes() > 0; ++i) {
        // Mostly characters users type (ASCII, CJK, full-width); now and then any unit at all.
        static const char16_t odd[] = {0xFEFF, 0xFFFE, 0x3000, 0x0000, 0xFF21,
                                       0x0020, 0xD83D, 0xDE00, 0x00DF};
        switch (in.ConsumeIntegralInRange<int>(0, 8)) {
        case 8: // byte-order marks, spaces, NUL, full-width, a surrogate pair's halves, ß
            s.append(QChar(odd[in.ConsumeIntegralInRange<size_t>(0, std::size(odd) - 1)]));
            break;
        case 0:
            s.append(QChar(in.ConsumeIntegral<char16_t>()));
            break;
        case 1:
            s.append(QChar(char16_t(0x4E00 + in.ConsumeIntegralInRange<int>(0, 0x51FF))));
            break;
        case 2:
            s.append(QChar(char16_t(0xFF00 + in.ConsumeIntegralInRange<int>(0, 0xEF))));
            break;
        case 3:
            s.append(QChar(char16_t(0xD800 + in.ConsumeIntegralInRange<int>(0, 0x7FF))));
            break;
        default:
            s.append(QChar(char16_t(in.ConsumeIntegralInRange<int>(0, 0x7F))));
        }
    }
    return s;
}

//! Date and time conventions as a system might have them, separators now and then odd.
inline LocaleFormats consumeFormats(FuzzedDataProvider &in) {
    static const char *const shortFormats[] = {"yyyy/MM/dd", "dd.MM.yyyy", "M/d/yyyy", "dd.MM.yy",
                                               "yy-MM-dd",   "d/M/yyyy",   "",         "MM/yyyy"};
    static const char separators[] = {'/', '.', '-', ':', ' ', '#', '\'', '1'};
    LocaleFormats f;
    f.shortDateFormat = QString::fromLatin1(shortFormats[in.ConsumeIntegralInRange<int>(0, 7)]);
    f.dateSeparator = QLatin1Char(separators[in.ConsumeIntegralInRange<int>(0, 7)]);
    f.timeSeparator = QLatin1Char(separators[in.ConsumeIntegralInRange<int>(0, 7)]);
    return f;
}
