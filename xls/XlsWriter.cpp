#include "XlsWriter.h"

#include "CompoundFile.h"
#include "FileError.h"
#include "NewFile.h"
#include "WorkbookStream.h"
#include "XlsError.h"

void XlsWriter::write(const QString &path, const QString &sheetName, const XlsTable &table) {
    try {
        // An existing file is refused before any work is done; NewFile checks again atomically.
        NewFile::refuseExisting(path);
        NewFile::write(path, CompoundFile::pack(WorkbookStream::build(sheetName, table)));
    } catch (const XlsError &) {
        throw;
    } catch (const FileError &e) {
        throw XlsError(e.message());
    }
}
