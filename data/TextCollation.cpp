#include "TextCollation.h"

#include <sqlite3.h>

namespace {

bool isAscii(QStringView s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

QStringView trimTrailingSpaces(QStringView s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == QLatin1Char(' '))
        --n;
    return s.first(n);
}

char16_t lowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

int compareFolded(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int collate(void *, int lenA, const void *a, int lenB, const void *b) {
    // Lengths come in bytes of UTF-16.
    return TextCollation::compare(QStringView(static_cast<const char16_t *>(a), lenA / 2),
                                  QStringView(static_cast<const char16_t *>(b), lenB / 2));
}

} // namespace

QString TextCollation::fold(QStringView text) {
    if (isAscii(text)) {
        QString out = trimTrailingSpaces(text).toString();
        for (QChar &c : out)
            c = QChar(lowerAscii(c.unicode()));
        return out;
    }
    // Compatibility decomposition folds full-width letters, digits and the ideographic space.
    const QString kc = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    return trimTrailingSpaces(kc).toString();
}

int TextCollation::compare(QStringView a, QStringView b) {
    if (isAscii(a) && isAscii(b)) {
        a = trimTrailingSpaces(a);
        b = trimTrailingSpaces(b);
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = lowerAscii(a[i].unicode()), y = lowerAscii(b[i].unicode());
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    return compareFolded(fold(a), fold(b));
}

int TextCollation::install(sqlite3 *handle) {
    return sqlite3_create_collation_v2(handle, name(), SQLITE_UTF16_ALIGNED, nullptr, collate, nullptr);
}
