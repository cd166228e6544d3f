#pragma once

//! A file layer for the engine that passes everything to the system's own and, when told,
//! refuses writes the way a full disk or a failing disk does. Installed as the default, so
//! every connection opened afterwards in this process goes through it.
namespace FaultVfs {

enum class Fault {
    None,      //!< every write goes through
    DiskFull,  //!< every write fails as on a full disk
    WriteError //!< writes to database files (not journals) fail with an I/O error
};

//! Registers the layer as the engine's default; idempotent. False when the engine refuses.
bool install();
void setFault(Fault fault);
//! Writes refused since the layer was installed.
int refusedWrites();

} // namespace FaultVfs
