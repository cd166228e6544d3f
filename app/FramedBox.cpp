#include "FramedBox.h"

#include <QPainter>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

FramedBox::FramedBox(const QString &title, QWidget *parent)
    : QGroupBox(title, parent) {
    setAccessibleName(title);
}

void FramedBox::paintEvent(QPaintEvent *) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QPainter painter(this);
    const QRect caption = style()
                              ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this)
                              .adjusted(-2, 0, 2, 0);

    // The frame, with a gap where the caption stands.
    painter.save();
    painter.setClipRegion(QRegion(rect()) - caption);
    const QRect frame = rect().adjusted(0, caption.center().y(), 0, 0);
    qDrawShadeRect(&painter, frame, palette(), true, 1);
    painter.restore();

    // The caption as the style writes it, without the style's own frame.
    option.subControls = QStyle::SC_GroupBoxLabel;
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
}
