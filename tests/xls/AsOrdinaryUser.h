#pragma once

#include <sys/fsuid.h>

//! For its lifetime, files are created and opened with an ordinary user's rights even when the
//! tests run as root (who writes everywhere), so a folder without write permission refuses.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
        : m_saved(setfsuid(uid_t(-1))) {
        if (m_saved == 0) setfsuid(65534);
    }
    ~AsOrdinaryUser() { setfsuid(uid_t(m_saved)); }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    int m_saved;
};
