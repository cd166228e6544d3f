#pragma once

#include "Dataset.h"

#include <QPointer>
#include <exception>

//! Disables a dataset's controls while it lives, so a walk over its records repaints its
//! controls once at the end; enabled again also when the walk fails. A failure while
//! enabling reaches the caller unless another failure is already on its way.
class ControlsDisabled {
public:
    explicit ControlsDisabled(Dataset *dataset)
        : m_dataset(dataset)
        , m_uncaught(std::uncaught_exceptions()) {
        m_dataset->disableControls();
    }
    ~ControlsDisabled() noexcept(false) {
        if (!m_dataset) return;
        const bool unwinding = std::uncaught_exceptions() > m_uncaught;
        try {
            m_dataset->enableControls();
        } catch (...) {
            if (!unwinding) throw;
        }
    }
    ControlsDisabled(const ControlsDisabled &) = delete;
    ControlsDisabled &operator=(const ControlsDisabled &) = delete;

private:
    // The dataset may be destroyed by a handler during the walk.
    QPointer<Dataset> m_dataset;
    int m_uncaught;
};
