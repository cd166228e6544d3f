#include "ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDialog>

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

int ScriptedDialogs::exec(QDialog &dialog) {
    m_shown.append({Kind::Dialog, dialog.windowTitle(), dialog.objectName()});
    if (m_drivers.isEmpty()) return QDialog::Rejected;
    const DialogDriver driver = m_drivers.takeFirst();
    // Shown as exec() would show it, so its widgets are laid out and can take the focus.
    dialog.show();
    QCoreApplication::processEvents();
    const int result = driver(dialog);
    dialog.hide();
    return result;
}
