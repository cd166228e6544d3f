#include "FaultVfs.h"

#include <atomic>
#include <sqlite3.h>

namespace FaultVfs {
namespace {

std::atomic<Fault> g_fault{Fault::None};
std::atomic<int> g_refused{0};
sqlite3_vfs *g_system = nullptr;
sqlite3_vfs g_vfs;

// Our file: the system's file object follows it in the same allocation.
struct File {
    sqlite3_file base;
    bool mainDb;
    sqlite3_file *real() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};

File *self(sqlite3_file *f) {
    return reinterpret_cast<File *>(f);
}
sqlite3_file *real(sqlite3_file *f) {
    return self(f)->real();
}

int refusal(const File *f) {
    switch (g_fault.load()) {
    case Fault::DiskFull:
        return SQLITE_FULL;
    case Fault::WriteError:
        return f->mainDb ? SQLITE_IOERR_WRITE : SQLITE_OK;
    case Fault::None:
        break;
    }
    return SQLITE_OK;
}

int xClose(sqlite3_file *f) {
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file *f, void *buf, int amount, sqlite3_int64 offset) {
    return real(f)->pMethods->xRead(real(f), buf, amount, offset);
}
int xWrite(sqlite3_file *f, const void *buf, int amount, sqlite3_int64 offset) {
    if (const int rc = refusal(self(f))) {
        ++g_refused;
        return rc;
    }
    return real(f)->pMethods->xWrite(real(f), buf, amount, offset);
}
int xTruncate(sqlite3_file *f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file *f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file *f, sqlite3_int64 *size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file *f, int level) {
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file *f, int level) {
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file *f, int *out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file *f, int op, void *arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file *f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file *f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}

// Version 1 only: no shared memory or memory mapping, which a rollback journal never needs.
const sqlite3_io_methods g_methods = {1,
                                      xClose,
                                      xRead,
                                      xWrite,
                                      xTruncate,
                                      xSync,
                                      xFileSize,
                                      xLock,
                                      xUnlock,
                                      xCheckReservedLock,
                                      xFileControl,
                                      xSectorSize,
                                      xDeviceCharacteristics,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr,
                                      nullptr};

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags) {
    File *file = self(f);
    file->base.pMethods = nullptr;
    file->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    const int rc = g_system->xOpen(g_system, name, file->real(), flags, outFlags);
    if (rc == SQLITE_OK) file->base.pMethods = &g_methods;
    return rc;
}
int xDelete(sqlite3_vfs *, const char *name, int syncDir) {
    return g_system->xDelete(g_system, name, syncDir);
}
int xAccess(sqlite3_vfs *, const char *name, int flags, int *out) {
    return g_system->xAccess(g_system, name, flags, out);
}
int xFullPathname(sqlite3_vfs *, const char *name, int size, char *out) {
    return g_system->xFullPathname(g_system, name, size, out);
}
int xRandomness(sqlite3_vfs *, int size, char *out) {
    return g_system->xRandomness(g_system, size, out);
}
int xSleep(sqlite3_vfs *, int microseconds) {
    return g_system->xSleep(g_system, microseconds);
}
int xCurrentTime(sqlite3_vfs *, double *now) {
    return g_system->xCurrentTime(g_system, now);
}
int xGetLastError(sqlite3_vfs *, int size, char *out) {
    return g_system->xGetLastError(g_system, size, out);
}
int xCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *now) {
    return g_system->xCurrentTimeInt64(g_system, now);
}

} // namespace

bool install() {
    if (g_system) return true;
    sqlite3_initialize();
    g_system = sqlite3_vfs_find(nullptr);
    if (!g_system) return false;
    g_vfs = sqlite3_vfs{};
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = int(sizeof(File)) + g_system->szOsFile;
    g_vfs.mxPathname = g_system->mxPathname;
    g_vfs.zName = "kelvaro-fault";
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    g_vfs.xRandomness = xRandomness;
    g_vfs.xSleep = xSleep;
    g_vfs.xCurrentTime = xCurrentTime;
    g_vfs.xGetLastError = xGetLastError;
    g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    return sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
}

void setFault(Fault fault) {
    g_fault = fault;
}

int refusedWrites() {
    return g_refused;
}

} // namespace FaultVfs
