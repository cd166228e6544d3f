#include "BusyWait.h"

#include <QRandomGenerator>
#include <sqlite3.h>
#include <thread>

void BusyWait::install(sqlite3 *handle, int ceilingMs) {
    m_ceilingMs = ceilingMs;
    sqlite3_busy_handler(handle, &BusyWait::retry, this);
}

// The engine's own handler sleeps in growing steps (up to 100 ms), so a copy that has waited
// a while looks again only rarely while newcomers keep looking every millisecond and take the
// lock first: under steady writing one copy could wait out the whole ceiling. Every waiter here
// looks again after a short sleep of random length, however long it has waited, so each free
// moment of the lock goes to any of them alike, and no rhythm of the copies keeps one out.
int BusyWait::retry(void *self, int attempt) {
    auto *wait = static_cast<BusyWait *>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) wait->m_started = now;
    const auto ceiling = std::chrono::milliseconds(wait->m_ceilingMs);
    const auto waited = now - wait->m_started;
    if (waited >= ceiling) return 0;
    const auto sleep =
        std::chrono::microseconds(QRandomGenerator::global()->bounded(minSleepUs, maxSleepUs + 1));
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(sleep, ceiling - waited));
    return 1;
}
