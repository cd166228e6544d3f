#pragma once

#include <QDateTime>

//! The local clock behind one interface, so that tests can set any moment.
class Clock {
public:
    virtual ~Clock() = default;

    //! The local date and time of now.
    virtual QDateTime now() const = 0;

    //! The clock in force; the system clock until another is installed.
    static Clock &current();
    //! Installs `clock` (not owned); null restores the system clock.
    static void install(Clock *clock);
};
