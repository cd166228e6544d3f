#include "TDBRadioGroup.h"

#include "Field.h"
#include "HandlerGuard.h"

#include <QApplication>

TDBRadioGroup::TDBRadioGroup(QWidget *parent)
    : TRadioGroup(parent) {
    connect(this, &TRadioGroup::itemChosen, this, &TDBRadioGroup::chosen);
}

void TDBRadioGroup::setValues(const QStringList &values) {
    m_values = values;
    fieldChanged();
}

QString TDBRadioGroup::valueOf(int index) const {
    return index < m_values.size() ? m_values.value(index) : items().value(index);
}

void TDBRadioGroup::fieldChanged() {
    const Field *f = m_link.field();
    int index = -1;
    if (f && !f->isNull()) {
        const QString value = f->asString();
        for (int i = 0; i < items().size() && index < 0; ++i)
            if (valueOf(i) == value) index = i;
    }
    setItemIndex(index);
}

void TDBRadioGroup::chosen(int index) {
    bool written = false;
    HandlerGuard::run([&] {
        if (!m_link.edit()) return;
        m_link.field()->setAsString(valueOf(index));
        written = true;
    });
    // A choice the field does not take leaves the group showing the field's value.
    if (!written) {
        QApplication::beep();
        fieldChanged();
    }
}
