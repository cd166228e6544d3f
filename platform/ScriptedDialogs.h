#pragma once

#include "Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

//! Dialogs for tests: installs itself while it lives, records every dialog shown and
//! answers questions from a queue (then with the default answer).
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, YesNo, Confirm, Error };
    struct Shown {
        Kind kind;
        QString text;
        QString title;
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    //! Answers for the next questions, in order (true: Yes / OK).
    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }
    void setDefaultAnswer(bool answer) { m_default = answer; }
    const QList<Shown> &shown() const { return m_shown; }
    //! The texts of every dialog shown, in order.
    QStringList texts() const;
    void clear() { m_shown.clear(); }

    void message(const QString &text) override { m_shown.append({Kind::Message, text, {}}); }
    bool askYesNo(const QString &text, const QString &title) override;
    bool confirm(const QString &text, const QString &title) override;
    void error(const QString &text) override { m_shown.append({Kind::Error, text, {}}); }

private:
    bool nextAnswer();
    QList<Shown> m_shown;
    QList<bool> m_answers;
    bool m_default = true;
};
