#include "ControlTab.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

ControlTab &ControlTab::filter() {
    static ControlTab instance;
    return instance;
}

void ControlTab::attach(QWidget *control) {
    if (control) control->installEventFilter(&filter());
}

bool ControlTab::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
        !key->modifiers().testFlag(Qt::ControlModifier))
        return false;
    // The window moves the focus along its chain for a plain Tab or Shift+Tab, as for any
    // control that leaves Tab to it.
    const bool forward = key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier);
    QKeyEvent plain(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                    forward ? Qt::NoModifier : Qt::ShiftModifier);
    QCoreApplication::sendEvent(static_cast<QWidget *>(watched)->window(), &plain);
    return true;
}
