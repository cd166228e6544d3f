#pragma once

#include "BiffStream.h"

#include <QHash>
#include <QString>
#include <QStringList>

//! The workbook's shared string table: each distinct text once, cells refer to it by index.
class SharedStrings {
public:
    //! Index of `text` in the table, adding it when new; counts one more reference.
    quint32 add(const QString &text);
    //! Writes the SST record (with CONTINUE records as needed) and its EXTSST index.
    void write(BiffStream &out) const;

    qsizetype uniqueCount() const { return m_strings.size(); }

private:
    QHash<QString, quint32> m_index;
    QStringList m_strings;
    quint32 m_references = 0;
};
