#include "Field.h"

#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"

#include <QDate>
#include <QTime>

Field::Field(Dataset *dataset, const FieldDef &def, FieldType type, int column, int size)
    : m_dataset(dataset)
    , m_def(def)
    , m_type(type)
    , m_column(column)
    , m_size(size) {}

QString Field::displayLabel() const {
    return m_def.displayLabel.isEmpty() ? m_def.name : m_def.displayLabel;
}

int Field::displayWidth() const {
    if (m_def.displayWidth > 0) return m_def.displayWidth;
    switch (m_type) {
    case FieldType::Text:
        return m_size > 0 ? m_size : 20;
    case FieldType::Date:
        return 10;
    case FieldType::Time:
        return 5;
    case FieldType::DateTime:
        return 16;
    default:
        return 10;
    }
}

QVariant Field::value() const {
    return m_dataset->valueAt(m_dataset->currentRow(), m_column);
}

namespace {

QString format(const QVariant &v, FieldType type, const Dataset *ds) {
    if (v.isNull()) return QString();
    const LocaleFormats formats = ds->connection() ? ds->connection()->localeFormats() : LocaleFormats();
    switch (type) {
    case FieldType::Date: {
        const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
        return d.isValid() ? d.toString(formats.shortDateFormat) : v.toString();
    }
    case FieldType::Time: {
        const QTime t = QTime::fromString(v.toString().left(5), QStringLiteral("HH:mm"));
        return t.isValid() ? t.toString(QStringLiteral("HH") + formats.timeSeparator + QStringLiteral("mm"))
                           : v.toString();
    }
    default:
        break;
    }
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == double(qint64(d))) return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    return v.toString();
}

} // namespace

QString Field::asString() const {
    return format(value(), m_type, m_dataset);
}

qint64 Field::asInteger() const {
    const QVariant v = value();
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) return v.toLongLong();
    if (v.typeId() == QMetaType::Double) return qint64(v.toDouble());
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok);
    return ok ? n : 0;
}

QString Field::displayTextAt(int row) const {
    return format(m_dataset->valueAt(row, m_column), m_type, m_dataset);
}

void Field::setValue(const QVariant &value) {
    m_dataset->setFieldValue(this, value);
}
