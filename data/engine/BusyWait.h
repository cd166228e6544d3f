#pragma once

#include <chrono>

struct sqlite3;

//! How a connection waits out other copies' locks on the shared file: it retries after short
//! sleeps of random length until the lock is free or the ceiling has passed since the first
//! refusal, then the statement fails with the engine's "database is locked". Installed on a
//! handle, the object must outlive that handle's use.
class BusyWait {
public:
    //! Shortest and longest sleep between two tries, in microseconds. Measured with 8 copies
    //! writing at once: shorter sleeps take processor time from the copy that holds the lock
    //! (fewer commits a second on a busy machine) and shorten no wait; longer ones leave the
    //! lock idle.
    static constexpr int minSleepUs = 1000;
    static constexpr int maxSleepUs = 5000;

    //! Replaces the engine's own busy handling on `handle`; `ceilingMs` bounds one wait (0 or
    //! less: fail at once).
    void install(sqlite3 *handle, int ceilingMs);
    void setCeilingMs(int ms) { m_ceilingMs = ms; }
    int ceilingMs() const { return m_ceilingMs; }

private:
    static int retry(void *self, int attempt);

    int m_ceilingMs = 0;
    std::chrono::steady_clock::time_point m_started;
};
