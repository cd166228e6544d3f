#include "PageWidgets.h"

#include "InputMethod.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QFont PageWidgets::uiFont(int pixelSize) {
    QFont font(QStringLiteral("Noto Sans CJK TC"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

QLabel *PageWidgets::label(QWidget *page, const char *name, const QString &caption, const QRect &geometry) {
    auto *label = new QLabel(caption, page);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(uiFont(PageTextPixels));
    label->setAccessibleName(caption);
    // Transparent over whatever the page shows beneath.
    label->setAutoFillBackground(false);
    return label;
}

QLineEdit *PageWidgets::edit(QWidget *page, const char *name, const QString &accessibleName,
                             const QRect &geometry) {
    auto *edit = new QLineEdit(page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    edit->setAccessibleName(accessibleName);
    InputMethod::attach(edit);
    return edit;
}

QPushButton *PageWidgets::button(QWidget *page, const char *name, const QString &caption,
                                 const QRect &geometry, int pixelSize) {
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(uiFont(pixelSize));
    button->setAccessibleName(caption);
    // Enter presses the focused button, which is the active one while it has the focus; the
    // window is no dialog, so no button is its default one and Enter in an edit presses none.
    button->setAutoDefault(true);
    button->setDefault(false);
    return button;
}

void PageWidgets::maskWithStars(QLineEdit *edit) {
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}
