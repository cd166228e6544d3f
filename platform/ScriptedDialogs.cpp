#include "ScriptedDialogs.h"

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown &s : m_shown)
        out.append(s.text);
    return out;
}

bool ScriptedDialogs::nextAnswer() {
    return m_answers.isEmpty() ? m_default : m_answers.takeFirst();
}

bool ScriptedDialogs::askYesNo(const QString &text, const QString &title) {
    m_shown.append({Kind::YesNo, text, title});
    return nextAnswer();
}

bool ScriptedDialogs::confirm(const QString &text, const QString &title) {
    m_shown.append({Kind::Confirm, text, title});
    return nextAnswer();
}
