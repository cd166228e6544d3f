#include "ResultSet.h"

QVariant ResultSet::value(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= columns.size()) return QVariant();
    const Cell &c = cell(row, column);
    switch (c.kind) {
    case Kind::Null:
        return QVariant();
    case Kind::Integer:
        return QVariant(c.integer);
    case Kind::Real:
        return QVariant(c.real);
    case Kind::Text:
        return QVariant(QString(reinterpret_cast<const QChar *>(m_text.data() + c.text.offset),
                                qsizetype(c.text.length)));
    case Kind::Blob:
        return QVariant(m_blobs.value(qsizetype(c.integer)));
    }
    return QVariant();
}

bool ResultSet::isNull(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= columns.size()) return true;
    return cell(row, column).kind == Kind::Null;
}

void ResultSet::appendText(Cell &cell, const char16_t *data, qsizetype length) {
    cell.kind = Kind::Text;
    cell.text.offset = quint32(m_text.size());
    cell.text.length = quint32(length);
    m_text.insert(m_text.end(), data, data + length);
}

int ResultSet::appendRow(const QVector<QVariant> &values, qint64 key) {
    if (keyed()) m_keys.push_back(key);
    for (int c = 0; c < columns.size(); ++c) {
        const QVariant v = values.value(c);
        Cell cell{};
        cell.kind = Kind::Null;
        if (v.isNull()) {
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                   v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
            cell.kind = Kind::Integer;
            cell.integer = v.toLongLong();
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            cell.kind = Kind::Real;
            cell.real = v.toDouble();
        } else if (v.typeId() == QMetaType::QByteArray) {
            cell.kind = Kind::Blob;
            cell.integer = m_blobs.size();
            m_blobs.append(v.toByteArray());
        } else {
            const QString s = v.toString();
            appendText(cell, reinterpret_cast<const char16_t *>(s.utf16()), s.size());
        }
        m_cells.push_back(cell);
    }
    return m_rows++;
}

void ResultSet::appendUtf8(Cell &cell, const unsigned char *p, qsizetype bytes) {
    cell.kind = Kind::Text;
    const size_t start = m_text.size();
    cell.text.offset = quint32(start);
    m_text.resize(start + size_t(bytes)); // UTF-16 never needs more units than UTF-8 has bytes
    char16_t *out = m_text.data() + start;
    const unsigned char *end = p + bytes;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *out++ = b;
            ++p;
            continue;
        }
        char32_t cp = 0xFFFD;
        int extra = 0;
        if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            extra = 3;
        }
        ++p;
        bool ok = extra > 0 && end - p >= extra;
        for (int i = 0; ok && i < extra; ++i) {
            ok = (p[i] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (!ok) {
            *out++ = 0xFFFD;
            continue;
        }
        p += extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = char16_t(0xD800 + (cp >> 10));
            *out++ = char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            *out++ = char16_t(cp);
        }
    }
    const size_t length = size_t(out - (m_text.data() + start));
    m_text.resize(start + length);
    cell.text.length = quint32(length);
}
