#pragma once

#include <QString>

class QDialog;

//! The program's dialogs behind one interface: the main window installs the real one,
//! tests install ScriptedDialogs, which records every message, answers every question and
//! drives the program's own dialogs.
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
    //! Shows one of the program's own dialogs (or a system dialog such as the print dialog)
    //! modally until it closes; returns its result (QDialog::Accepted, Rejected, or what
    //! done() gave). Every dialog of the pages opens through here.
    virtual int exec(QDialog &dialog) = 0;

    //! The dialogs in force; a real, widget-based set until another is installed.
    static Dialogs &current();
    //! Installs `dialogs` (not owned); null restores the real ones.
    static void install(Dialogs *dialogs);
};
