#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>

TRadioGroup::TRadioGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_group(new QButtonGroup(this))
    , m_layout(new QGridLayout(this)) {
    // Tight margins: the groups are small, and the form gives their sizes.
    m_layout->setContentsMargins(8, 2, 2, 2);
    m_layout->setSpacing(0);
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::userClicked);
}

void TRadioGroup::setItems(const QStringList &items) {
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_items = items;
    m_index = -1;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        button->setObjectName(QStringLiteral("%1_%2").arg(objectName()).arg(i));
        button->setAccessibleName(items[i]);
        m_group->addButton(button, i);
        m_buttons.append(button);
    }
    arrange();
}

void TRadioGroup::setColumns(int columns) {
    m_columns = std::max(columns, 1);
    arrange();
}

void TRadioGroup::arrange() {
    for (QRadioButton *button : std::as_const(m_buttons))
        m_layout->removeWidget(button);
    const int rows = std::max(1, int((m_buttons.size() + m_columns - 1) / m_columns));
    for (int i = 0; i < m_buttons.size(); ++i)
        m_layout->addWidget(m_buttons[i], i % rows, i / rows);
}

void TRadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= m_buttons.size()) index = -1;
    m_index = index;
    if (index >= 0) {
        m_buttons[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked: lift the rule to clear it.
    if (QAbstractButton *checked = m_group->checkedButton()) {
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

void TRadioGroup::userClicked(int index) {
    if (index == m_index) return;
    m_index = index;
    emit itemChosen(index);
}
