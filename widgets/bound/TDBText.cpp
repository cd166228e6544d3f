#include "TDBText.h"

#include "Field.h"

TDBText::TDBText(QWidget *parent)
    : QLabel(parent) {
    // Stored texts are shown as they are, never read as markup.
    setTextFormat(Qt::PlainText);
}

void TDBText::fieldChanged() {
    const Field *f = m_link.field();
    setText(f ? f->asString() : QString());
}
