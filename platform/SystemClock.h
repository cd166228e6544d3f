#pragma once

#include "Clock.h"

//! The machine's local clock.
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
