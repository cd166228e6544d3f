#include "Clock.h"

#include "SystemClock.h"

namespace {
Clock *g_clock = nullptr;
} // namespace

Clock &Clock::current() {
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void Clock::install(Clock *clock) {
    g_clock = clock;
}
