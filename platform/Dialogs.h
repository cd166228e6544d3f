#pragma once

#include <QString>

//! The program's dialogs behind one interface: the main window installs the real one,
//! tests install ScriptedDialogs, which records every message and answers every question.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    //! The plain message box with one OK button; caption: the application's title.
    virtual void message(const QString &text) = 0;
    //! A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    //! The OK/Cancel confirmation (caption "Confirm" unless given); true for OK.
    virtual bool confirm(const QString &text, const QString &title = QStringLiteral("Confirm")) = 0;
    //! The application's standard error box with the error's own message.
    virtual void error(const QString &text) = 0;

    //! The dialogs in force; a real, widget-based set until another is installed.
    static Dialogs &current();
    //! Installs `dialogs` (not owned); null restores the real ones.
    static void install(Dialogs *dialogs);
};
