#include "TextCollation.h"

#include <array>
#include <sqlite3.h>

namespace {

using UnitFolds = std::array<char16_t, 0x10000>;

//! The fold of every character of the basic plane, built once, so that folding costs one
//! table read: width first (Ａ -> A, ｶ -> カ, the ideographic space -> space), then case.
const UnitFolds &unitFolds() {
    static const UnitFolds table = [] {
        UnitFolds t{};
        for (char32_t u = 0; u < 0x10000; ++u) {
            char32_t c = u;
            if (!QChar::isSurrogate(c)) {
                const QChar::Decomposition tag = QChar::decompositionTag(c);
                if (tag == QChar::Wide || tag == QChar::Narrow) {
                    const QString d = QChar::decomposition(c);
                    if (d.size() == 1) c = d.at(0).unicode();
                }
                c = QChar::toCaseFolded(c);
            }
            t[u] = c <= 0xFFFF ? char16_t(c) : char16_t(u);
        }
        return t;
    }();
    return table;
}

//! Beyond the basic plane only case folds (Deseret, Osage, Adlam ...), within that plane.
char32_t foldCodePoint(char32_t c, const UnitFolds &folds) {
    return c < 0x10000 ? folds[c] : QChar::toCaseFolded(c);
}

//! Reads UTF-16 as code points, without its trailing spaces; a lone surrogate reads as itself.
class Utf16Reader {
public:
    Utf16Reader(QStringView text, const UnitFolds &folds)
        : m_p(text.utf16())
        , m_end(m_p + text.size()) {
        while (m_end > m_p && folds[m_end[-1]] == u' ')
            --m_end;
    }
    bool atEnd() const { return m_p >= m_end; }
    char32_t next() {
        const char16_t c = *m_p++;
        if (QChar::isHighSurrogate(c) && m_p < m_end && QChar::isLowSurrogate(*m_p))
            return QChar::surrogateToUcs4(c, *m_p++);
        return c;
    }

private:
    const char16_t *m_p;
    const char16_t *m_end;
};

//! Reads UTF-8 (the engine's storage form, so nothing is converted per comparison) as code
//! points, without trailing spaces (U+0020 and the ideographic space U+3000, E3 80 80).
//! A malformed byte reads as U+FFFD, so any bytes give one fixed sequence.
class Utf8Reader {
public:
    Utf8Reader(const unsigned char *text, int bytes)
        : m_p(text)
        , m_end(text + bytes) {
        for (;;) {
            if (m_end > m_p && m_end[-1] == 0x20)
                --m_end;
            else if (m_end - m_p >= 3 && m_end[-3] == 0xE3 && m_end[-2] == 0x80 && m_end[-1] == 0x80)
                m_end -= 3;
            else
                break;
        }
    }
    bool atEnd() const { return m_p >= m_end; }
    char32_t next() {
        const unsigned char lead = *m_p++;
        if (lead < 0x80) return lead;
        int more;
        char32_t c;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            c = lead & 0x07;
        } else {
            return 0xFFFD;
        }
        if (m_end - m_p < more) return 0xFFFD;
        for (int i = 0; i < more; ++i) {
            if ((m_p[i] & 0xC0) != 0x80) return 0xFFFD;
            c = (c << 6) | (m_p[i] & 0x3F);
        }
        m_p += more;
        return c;
    }

private:
    const unsigned char *m_p;
    const unsigned char *m_end;
};

//! Code point by code point; characters that are already equal need no folding.
template <class A, class B> int compareReaders(A x, B y) {
    const UnitFolds &folds = unitFolds();
    while (!x.atEnd() && !y.atEnd()) {
        char32_t cx = x.next(), cy = y.next();
        if (cx == cy) continue;
        cx = foldCodePoint(cx, folds);
        cy = foldCodePoint(cy, folds);
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    return x.atEnd() == y.atEnd() ? 0 : (x.atEnd() ? -1 : 1);
}

int collateUtf16(void *, int lenA, const void *a, int lenB, const void *b) {
    // Lengths come in bytes.
    return TextCollation::compare(QStringView(static_cast<const char16_t *>(a), lenA / 2),
                                  QStringView(static_cast<const char16_t *>(b), lenB / 2));
}

int collateUtf8(void *, int lenA, const void *a, int lenB, const void *b) {
    return compareReaders(Utf8Reader(static_cast<const unsigned char *>(a), lenA),
                          Utf8Reader(static_cast<const unsigned char *>(b), lenB));
}

} // namespace

QString TextCollation::fold(QStringView text) {
    const UnitFolds &folds = unitFolds();
    Utf16Reader units(text, folds);
    QString out;
    out.reserve(text.size());
    while (!units.atEnd()) {
        const char32_t c = foldCodePoint(units.next(), folds);
        if (QChar::requiresSurrogates(c)) {
            out.append(QChar(QChar::highSurrogate(c)));
            out.append(QChar(QChar::lowSurrogate(c)));
        } else {
            out.append(QChar(char16_t(c)));
        }
    }
    return out;
}

int TextCollation::compare(QStringView a, QStringView b) {
    const UnitFolds &folds = unitFolds();
    return compareReaders(Utf16Reader(a, folds), Utf16Reader(b, folds));
}

int TextCollation::install(sqlite3 *handle) {
    // One equality in both encodings; the engine calls the one its file is stored in.
    const int rc = sqlite3_create_collation_v2(handle, name(), SQLITE_UTF8, nullptr, collateUtf8, nullptr);
    if (rc != SQLITE_OK) return rc;
    return sqlite3_create_collation_v2(handle, name(), SQLITE_UTF16_ALIGNED, nullptr, collateUtf16, nullptr);
}
