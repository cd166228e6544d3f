#pragma once

#include <QByteArray>

//! The Compound File Binary container (OLE2 structured storage) around a workbook stream.
class CompoundFile {
public:
    //! The bytes of a container holding `workbook` as its one stream, named "Workbook".
    //! Throws XlsError when the container cannot be built.
    static QByteArray pack(const QByteArray &workbook);
};
