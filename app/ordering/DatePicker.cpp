#include "DatePicker.h"

#include <QKeyEvent>

void DatePicker::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        // The window's focus chain, not the date edit's own steps between the parts of the date.
        QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                    !event->modifiers().testFlag(Qt::ShiftModifier));
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}
