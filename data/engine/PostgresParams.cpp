#include "PostgresParams.h"

#include <QDate>
#include <QTime>

namespace {

// Type oid (pg_type.dat) of the parameters sent typed.
constexpr unsigned int Int8Oid = 20;

} // namespace

PostgresParams::PostgresParams(const QVector<QVariant> &values) {
    m_data.reserve(values.size());
    for (const QVariant &v : values) {
        unsigned int type = 0;
        int format = 0;
        QByteArray text;
        bool null = v.isNull();
        switch (null ? QMetaType::UnknownType : v.typeId()) {
        case QMetaType::UnknownType:
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            text = QByteArray::number(v.toLongLong());
            type = Int8Oid;
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            text = QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case QMetaType::QByteArray:
            text = v.toByteArray();
            format = 1;
            break;
        case QMetaType::QDate:
            text = v.toDate().toString(Qt::ISODate).toUtf8();
            break;
        case QMetaType::QTime:
            text = v.toTime().toString(QStringLiteral("HH:mm")).toUtf8();
            break;
        default: {
            const QString s = v.toString();
            if (s.contains(QChar(0))) {
                // The client library takes text as a C string and would send only the part
                // before the NUL: another text.
                null = true;
                if (m_textWithNul < 0) m_textWithNul = int(m_data.size());
            }
            text = s.toUtf8();
        }
        }
        m_data.append(text);
        m_types.append(type);
        m_lengths.append(int(text.size()));
        m_formats.append(format);
        m_null.append(null);
    }
    // Taken once every value is in place, so no buffer moves afterwards; a null sends no pointer.
    for (qsizetype i = 0; i < values.size(); ++i)
        m_pointers.append(m_null[i] ? nullptr : m_data[i].constData());
}
