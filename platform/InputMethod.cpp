#include "InputMethod.h"

#include <QEvent>
#include <QWidget>

QString InputMethod::preferredName() {
    return QStringLiteral("中文 (繁體) - 新注音");
}

InputMethod &InputMethod::filter() {
    static InputMethod instance;
    return instance;
}

void InputMethod::attach(QWidget *editor) {
    if (editor) editor->installEventFilter(&filter());
}

void InputMethod::request(QWidget *editor) {
    Q_UNUSED(editor);
}

bool InputMethod::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusIn && watched->isWidgetType()) request(static_cast<QWidget *>(watched));
    return false;
}
