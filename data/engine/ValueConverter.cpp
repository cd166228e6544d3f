#include "ValueConverter.h"

#include "AccountNameRule.h"
#include "DbError.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <cmath>

namespace {

//! A refusal with the category the engines give the same failure.
DbError refusal(const QString &message, DbError::Category category = DbError::Category::BadValue) {
    return DbError(message).categorised(category);
}

QString mismatch(const QString &text, const QString &what, const QString &column) {
    return QStringLiteral("Data type mismatch in criteria expression: '%1' is not %2 for column %3.")
        .arg(text, what, column);
}

//! Index of the first unit of `text` that is not part of a valid character.
qsizetype brokenAt(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return i;
    }
    return -1;
}

//! Up to three numbers of one to four ASCII digits.
struct Numbers {
    int value[3] = {};
    int digits[3] = {};
    int count = 0;
};

//! Splits `text` into numbers joined by one separator, the same throughout, taken from
//! `separators`; false when anything else is there or there are more than `maxParts`.
bool splitNumbers(QStringView text, QStringView separators, int maxParts, Numbers &out) {
    QChar separator;
    bool separated = false;
    qsizetype i = 0;
    for (;;) {
        if (out.count == maxParts) return false;
        int value = 0, digits = 0;
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            if (++digits > 4) return false;
            value = value * 10 + (text[i].unicode() - u'0');
        }
        if (digits == 0) return false;
        out.value[out.count] = value;
        out.digits[out.count++] = digits;
        if (i == text.size()) return true;
        const QChar c = text[i++];
        if (separated ? c != separator : !separators.contains(c)) return false;
        separator = c;
        separated = true;
    }
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
        throw refusal(QStringLiteral("Numeric value out of range: %1 is too large for column %2.")
                          .arg(QString::number(value.toLongLong()), column.name));
    case QMetaType::Bool:
        return QVariant(qint64(value.toBool() ? 1 : 0));
    case QMetaType::ULongLong:
        if (value.toULongLong() <= quint64(std::numeric_limits<qint32>::max()))
            return QVariant(value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        // In range first: converting a double beyond the integers (or NaN) is undefined.
        const double d = value.toDouble();
        if (d >= std::numeric_limits<qint32>::min() && d <= std::numeric_limits<qint32>::max() &&
            d == std::trunc(d))
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
        throw refusal(mismatch(text, QStringLiteral("a whole number"), column.name));
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        throw refusal(QStringLiteral("Numeric value out of range: '%1' is too large for column %2.")
                          .arg(text.trimmed(), column.name));
    return QVariant(n);
}

QDate ValueConverter::parseDate(const QString &input) const {
    // Three numbers split twice by the same separator: the system's, '/', '-' or '.'. Month and
    // day have one or two digits; the year four, or one or two (this century).
    const QString separators = QString(m_formats.dateSeparator) + QStringLiteral("/-.");
    Numbers p;
    if (!splitNumbers(QStringView(input).trimmed(), separators, 3, p) || p.count != 3) return QDate();
    int ry = 0, rm = 1, rd = 2;
    if (p.digits[0] != 4) { // year first whatever the system's order; else the short date's order
        const QString &f = m_formats.shortDateFormat;
        qsizetype iy = f.indexOf(QLatin1Char('y')), im = f.indexOf(QLatin1Char('M')),
                  id = f.indexOf(QLatin1Char('d'));
        if (iy < 0 || im < 0 || id < 0) { // month/day/year when it tells none
            im = 0;
            id = 1;
            iy = 2;
        }
        ry = int((iy > im) + (iy > id));
        rm = int((im > iy) + (im > id));
        rd = int((id > iy) + (id > im));
    }
    if (p.digits[rm] > 2 || p.digits[rd] > 2 || p.digits[ry] == 3) return QDate();
    const int y = p.value[ry] + (p.digits[ry] <= 2 ? 2000 : 0);
    return QDate(y, p.value[rm], p.value[rd]);
}

QTime ValueConverter::parseTime(const QString &input) const {
    // Hours and minutes; seconds, when given, must be zero: the columns hold hours and minutes,
    // and a time is refused rather than cut.
    const QString separators = QString(m_formats.timeSeparator) + QLatin1Char(':');
    Numbers p;
    if (!splitNumbers(QStringView(input).trimmed(), separators, 3, p) || p.count < 2) return QTime();
    if (p.digits[0] > 2 || p.digits[1] != 2) return QTime();
    if (p.count == 3 && (p.digits[2] != 2 || p.value[2] != 0)) return QTime();
    return QTime(p.value[0], p.value[1]);
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
        throw refusal(mismatch(value.toString(), QStringLiteral("a valid date"), column.name));
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
    if (!t.isValid() || t.second() != 0 || t.msec() != 0)
        throw refusal(
            mismatch(value.toString(), QStringLiteral("a time of day in hours and minutes"), column.name));
    return QVariant(t.toString(QStringLiteral("HH:mm")));
}

QVariant ValueConverter::toText(const ColumnInfo &column, const QVariant &value) const {
    const QString text = value.toString();
    // Invalid UTF-16 would be stored garbled, and tools read a NUL as the end of the text.
    if (!text.isValidUtf16())
        throw refusal(QStringLiteral("The text for column %1 is not valid Unicode (a broken character at "
                                     "position %2); nothing was stored.")
                          .arg(column.name, QString::number(brokenAt(text) + 1)));
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        throw refusal(QStringLiteral("The text for column %1 holds a NUL character at position %2; nothing "
                                     "was stored.")
                          .arg(column.name, QString::number(nul + 1)));
    // Sizes count characters as the engine's length() does: a surrogate pair is one.
    qsizetype chars = text.size();
    for (QChar c : text)
        chars -= c.isLowSurrogate() ? 1 : 0;
    if (column.size > 0 && chars > column.size)
        throw refusal(
            QStringLiteral("The field is too small to accept the amount of data you attempted to add: "
                           "'%1' has %2 characters, column %3 holds at most %4.")
                .arg(text, QString::number(chars), column.name, QString::number(column.size)),
            DbError::Category::TooLong);
    if (AccountNameRule::governs(column) && !AccountNameRule::signInCanMatch(text))
        throw refusal(AccountNameRule::untrimmedMessage());
    return QVariant(text);
}
