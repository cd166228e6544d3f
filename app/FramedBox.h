#pragma once

#include <QGroupBox>

//! A group box drawn as the pages' form draws one: an etched frame whose top line runs through
//! the middle of the caption, so that it shows around whatever fills the box (the total panel,
//! the notice text) instead of starting below the caption where the style would start it.
class FramedBox : public QGroupBox {
    Q_OBJECT
public:
    FramedBox(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
