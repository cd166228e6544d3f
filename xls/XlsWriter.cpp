#include "XlsWriter.h"

#include "CompoundFile.h"
#include "FileError.h"
#include "NewFile.h"
#include "WorkbookStream.h"
#include "XlsError.h"
#include "XlsTable.h"

void XlsWriter::write(const QString &path, const QVector<XlsSheet> &sheets) {
    try {
        // An existing file is refused before any work is done; NewFile checks again atomically.
        NewFile::refuseExisting(path);
        NewFile::write(path, CompoundFile::pack(WorkbookStream::build(sheets)));
    } catch (const XlsError &) {
        throw;
    } catch (const FileError &e) {
        throw XlsError(e.message());
    }
}

void XlsWriter::write(const QString &path, const QString &sheetName, const XlsTable &table) {
    write(path, {XlsSheet{sheetName, &table}});
}
