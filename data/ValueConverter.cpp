#include "ValueConverter.h"

#include "DbError.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

QString mismatch(const QString &text, const QString &what, const QString &column) {
    return QStringLiteral("Data type mismatch in criteria expression: '%1' is not %2 for column %3.")
        .arg(text, what, column);
}

bool isText(const QVariant &v) {
    return v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray ||
           v.typeId() == QMetaType::QChar;
}

} // namespace

QVariant ValueConverter::convert(const ColumnInfo &column, const QVariant &value) const {
    if (value.isNull()) return QVariant();
    switch (column.kind) {
    case ColumnKind::Key:
    case ColumnKind::Integer:
        return toInteger(column, value);
    case ColumnKind::Date:
        return toDate(column, value);
    case ColumnKind::Time:
        return toTime(column, value);
    case ColumnKind::Text:
        return toText(column, value);
    }
    return value;
}

QVariant ValueConverter::toInteger(const ColumnInfo &column, const QVariant &value) const {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        if (value.toLongLong() >= std::numeric_limits<qint32>::min() &&
            value.toLongLong() <= std::numeric_limits<qint32>::max())
            return QVariant(value.toLongLong());
        throw DbError(QStringLiteral("Numeric value out of range: %1 is too large for column %2.")
                          .arg(value.toLongLong())
                          .arg(column.name));
    case QMetaType::Bool:
        return QVariant(qint64(value.toBool() ? 1 : 0));
    case QMetaType::ULongLong:
        if (value.toULongLong() <= quint64(std::numeric_limits<qint32>::max()))
            return QVariant(value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (d == double(qint64(d)) && d >= std::numeric_limits<qint32>::min() &&
            d <= std::numeric_limits<qint32>::max())
            return QVariant(qint64(d));
        break;
    }
    default:
        break;
    }
    const QString text = value.toString();
    // Only optional spaces, an optional sign and decimal digits: no fractions, no exponents.
    static const QRegularExpression digits(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    if (!isText(value) || !digits.match(text).hasMatch())
        throw DbError(mismatch(text, QStringLiteral("a whole number"), column.name));
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        throw DbError(QStringLiteral("Numeric value out of range: '%1' is too large for column %2.")
                          .arg(text.trimmed(), column.name));
    return QVariant(n);
}

QDate ValueConverter::parseDate(const QString &input) const {
    const QString text = input.trimmed();
    // Three numbers split by the system's date separator, '/', '-' or '.'.
    const QString seps =
        QRegularExpression::escape(QString(m_formats.dateSeparator)) + QStringLiteral("/\\-.");
    const QRegularExpression parts(QStringLiteral("^(\\d{1,4})[%1](\\d{1,4})[%1](\\d{1,4})$").arg(seps));
    const QRegularExpressionMatch m = parts.match(text);
    if (!m.hasMatch()) return QDate();
    const QString p[3] = {m.captured(1), m.captured(2), m.captured(3)};
    int y, mo, d;
    if (p[0].size() == 4) { // year first, whatever the system's order
        y = p[0].toInt();
        mo = p[1].toInt();
        d = p[2].toInt();
    } else {
        // The order of the short date format; month/day/year when it tells none.
        const QString f = m_formats.shortDateFormat;
        qsizetype iy = f.indexOf(QLatin1Char('y')), im = f.indexOf(QLatin1Char('M')),
                  id = f.indexOf(QLatin1Char('d'));
        if (iy < 0 || im < 0 || id < 0) {
            im = 0;
            id = 1;
            iy = 2;
        }
        const int ry = int((iy > im) + (iy > id)), rm = int((im > iy) + (im > id)),
                  rd = int((id > iy) + (id > im));
        y = p[ry].toInt();
        mo = p[rm].toInt();
        d = p[rd].toInt();
        if (p[ry].size() <= 2)
            y += 2000; // two-digit years are this century's
        else if (p[ry].size() != 4)
            return QDate();
    }
    return QDate(y, mo, d);
}

QTime ValueConverter::parseTime(const QString &input) const {
    const QString text = input.trimmed();
    const QString seps = QRegularExpression::escape(QString(m_formats.timeSeparator)) + QStringLiteral(":");
    const QRegularExpression hm(QStringLiteral("^(\\d{1,2})[%1](\\d{2})(?:[%1](\\d{2}))?$").arg(seps));
    const QRegularExpressionMatch m = hm.match(text);
    if (!m.hasMatch()) return QTime();
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(),
                 m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
}

QVariant ValueConverter::toDate(const ColumnInfo &column, const QVariant &value) const {
    QDate d;
    if (value.typeId() == QMetaType::QDate)
        d = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        d = value.toDateTime().date();
    else if (isText(value))
        d = parseDate(value.toString());
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        throw DbError(mismatch(value.toString(), QStringLiteral("a valid date"), column.name));
    return QVariant(d.toString(Qt::ISODate));
}

QVariant ValueConverter::toTime(const ColumnInfo &column, const QVariant &value) const {
    QTime t;
    if (value.typeId() == QMetaType::QTime)
        t = value.toTime();
    else if (value.typeId() == QMetaType::QDateTime)
        t = value.toDateTime().time();
    else if (isText(value))
        t = parseTime(value.toString());
    if (!t.isValid())
        throw DbError(mismatch(value.toString(), QStringLiteral("a valid time of day"), column.name));
    return QVariant(t.toString(QStringLiteral("HH:mm")));
}

QVariant ValueConverter::toText(const ColumnInfo &column, const QVariant &value) const {
    const QString text = value.toString();
    // Sizes count characters as the engine's length() does: a surrogate pair is one.
    qsizetype chars = text.size();
    for (QChar c : text)
        chars -= c.isLowSurrogate() ? 1 : 0;
    if (column.size > 0 && chars > column.size)
        throw DbError(
            QStringLiteral("The field is too small to accept the amount of data you attempted to add: "
                           "'%1' has %2 characters, column %3 holds at most %4.")
                .arg(text)
                .arg(chars)
                .arg(column.name)
                .arg(column.size));
    return QVariant(text);
}
