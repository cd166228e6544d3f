#pragma once

#include "Clock.h"

//! A clock for tests: installs itself while it lives and reads the moment it was set to.
class FixedClock : public Clock {
public:
    explicit FixedClock(const QDateTime &moment)
        : m_moment(moment) {
        Clock::install(this);
    }
    ~FixedClock() override { Clock::install(nullptr); }
    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;

    void set(const QDateTime &moment) { m_moment = moment; }
    QDateTime now() const override { return m_moment; }

private:
    QDateTime m_moment;
};
