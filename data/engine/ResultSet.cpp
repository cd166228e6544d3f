#include "ResultSet.h"

#include <QStringDecoder>

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
        return QVariant(text(c.text));
    case Kind::Blob:
        return QVariant(m_blobs.value(qsizetype(c.integer)));
    }
    return QVariant();
}

QString ResultSet::text(TextRef ref) const {
    const QByteArrayView utf8(m_text.data() + ref.offset, qsizetype(ref.length));
    // fromUtf8 drops a leading byte-order mark, which is part of a stored text.
    if (!utf8.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(utf8);
    QStringDecoder keepingMark(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return keepingMark(utf8);
}

bool ResultSet::isNull(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= columns.size()) return true;
    return cell(row, column).kind == Kind::Null;
}

void ResultSet::appendText(Cell &cell, const char16_t *data, qsizetype length) {
    const QByteArray utf8 = QStringView(data, length).toUtf8();
    appendUtf8(cell, reinterpret_cast<const unsigned char *>(utf8.constData()), utf8.size());
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

void ResultSet::appendUtf8(Cell &cell, const unsigned char *data, qsizetype bytes) {
    cell.kind = Kind::Text;
    cell.text.offset = quint32(m_text.size());
    cell.text.length = quint32(bytes);
    const auto *bytesIn = reinterpret_cast<const char *>(data); // same type: one memmove
    m_text.insert(m_text.end(), bytesIn, bytesIn + bytes);
}
