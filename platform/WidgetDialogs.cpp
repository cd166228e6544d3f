#include "WidgetDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

namespace {
Dialogs *g_installed = nullptr;

QString applicationTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QApplication::applicationName() : name;
}
} // namespace

Dialogs &Dialogs::current() {
    static WidgetDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::install(Dialogs *dialogs) {
    g_installed = dialogs;
}

void WidgetDialogs::message(const QString &text) {
    QMessageBox::information(QApplication::activeWindow(), applicationTitle(), text, QMessageBox::Ok);
}

bool WidgetDialogs::askYesNo(const QString &text, const QString &title) {
    return QMessageBox::question(QApplication::activeWindow(), title, text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

bool WidgetDialogs::confirm(const QString &text, const QString &title) {
    return QMessageBox::question(QApplication::activeWindow(), title, text,
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

void WidgetDialogs::error(const QString &text) {
    QMessageBox::critical(QApplication::activeWindow(), applicationTitle(), text, QMessageBox::Ok);
}

int WidgetDialogs::exec(QDialog &dialog) {
    return dialog.exec();
}
