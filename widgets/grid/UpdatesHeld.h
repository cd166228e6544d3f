#pragma once

#include <QWidget>

//! Holds a widget's repainting back while it lives; released also when a step fails.
class UpdatesHeld {
public:
    explicit UpdatesHeld(QWidget *widget)
        : m_widget(widget)
        , m_was(widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesHeld() { m_widget->setUpdatesEnabled(m_was); }
    UpdatesHeld(const UpdatesHeld &) = delete;
    UpdatesHeld &operator=(const UpdatesHeld &) = delete;

private:
    QWidget *m_widget;
    bool m_was;
};
