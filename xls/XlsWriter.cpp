#include "XlsWriter.h"

#include "CompoundFile.h"
#include "NewFile.h"
#include "WorkbookStream.h"

void XlsWriter::write(const QString &path, const QString &sheetName, const XlsTable &table) {
    // An existing file is refused before any work is done; NewFile checks again atomically.
    NewFile::refuseExisting(path);
    NewFile::write(path, CompoundFile::pack(WorkbookStream::build(sheetName, table)));
}
