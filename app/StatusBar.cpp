#include "StatusBar.h"

#include <QLabel>

StatusBar::StatusBar(const QVector<int> &panelWidths, QWidget *parent)
    : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < panelWidths.size(); ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setAccessibleName(tr("Status panel %1").arg(i));
        label->setTextFormat(Qt::PlainText);
        const bool last = i == panelWidths.size() - 1;
        if (!last) label->setFixedWidth(panelWidths.at(i));
        addWidget(label, last ? 1 : 0);
        m_panels.append(label);
    }
}

QString StatusBar::panelText(int index) const {
    const QLabel *label = m_panels.value(index);
    return label ? label->text() : QString();
}

void StatusBar::setPanelText(int index, const QString &text) {
    if (QLabel *label = m_panels.value(index)) {
        label->setText(text);
        label->setAccessibleDescription(text);
    }
}
