#include "CharacterLimit.h"

#include <algorithm>

namespace {

//! Is there a surrogate pair whose low half stands at `i`?
bool pairEndsAt(const QString &text, qsizetype i) {
    return i > 0 && text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate();
}

} // namespace

CharacterLimit::CharacterLimit(int limit, QObject *parent)
    : QValidator(parent)
    , m_limit(limit) {}

int CharacterLimit::characters(const QString &text) {
    qsizetype n = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        n -= pairEndsAt(text, i) ? 1 : 0;
    return int(n);
}

QValidator::State CharacterLimit::validate(QString &input, int &pos) const {
    int excess = characters(input) - m_limit;
    if (excess <= 0) return Acceptable;
    // What was just typed, pasted or committed ends at the cursor: take the excess back from
    // there, whole characters only. A cursor inside a pair stands after it.
    qsizetype end = std::clamp<qsizetype>(pos, 0, input.size());
    if (end < input.size() && pairEndsAt(input, end)) ++end;
    qsizetype start = end;
    for (; excess > 0 && start > 0; --excess)
        start -= pairEndsAt(input, start - 1) ? 2 : 1;
    input.remove(start, end - start);
    pos = int(start);
    // Anything still beyond the limit (a cursor at the start) goes from the end.
    for (; excess > 0 && !input.isEmpty(); --excess)
        input.chop(pairEndsAt(input, input.size() - 1) ? 2 : 1);
    return Acceptable;
}
