#pragma once

#include "Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

//! Dialogs for tests: installs itself while it lives, records every dialog shown, answers
//! questions from a queue (then with the default answer) and hands each of the program's own
//! dialogs to the next queued driver, which reads and works its widgets as a user would.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, YesNo, Confirm, Error, Dialog };
    //! What a dialog shows: a message box's text and title; for the program's own dialogs
    //! the window title, and the object name as title.
    struct Shown {
        Kind kind;
        QString text;
        QString title;
    };
    //! Works a dialog shown (and laid out) on the test's screen; returns the result its exec()
    //! gives, usually what the buttons it pressed made of it (dialog.result()).
    using DialogDriver = std::function<int(QDialog &dialog)>;

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    //! Answers for the next questions, in order (true: Yes / OK).
    void queueAnswers(const QList<bool> &answers) { m_answers += answers; }
    void setDefaultAnswer(bool answer) { m_default = answer; }
    //! The driver of the next dialog exec() gets; without one a dialog is closed unanswered
    //! (Rejected).
    void queueDialog(DialogDriver driver) { m_drivers.append(std::move(driver)); }
    const QList<Shown> &shown() const { return m_shown; }
    //! The texts of every dialog shown, in order.
    QStringList texts() const;
    void clear() { m_shown.clear(); }

    void message(const QString &text) override { m_shown.append({Kind::Message, text, {}}); }
    bool askYesNo(const QString &text, const QString &title) override;
    bool confirm(const QString &text, const QString &title) override;
    void error(const QString &text) override { m_shown.append({Kind::Error, text, {}}); }
    int exec(QDialog &dialog) override;

private:
    bool nextAnswer();
    QList<Shown> m_shown;
    QList<bool> m_answers;
    QList<DialogDriver> m_drivers;
    bool m_default = true;
};
