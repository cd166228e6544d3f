#pragma once

#include "Dialogs.h"

//! The real dialogs: modal message boxes over the active window.
class WidgetDialogs : public Dialogs {
public:
    void message(const QString &text) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool confirm(const QString &text, const QString &title) override;
    void error(const QString &text) override;
    int exec(QDialog &dialog) override;
};
