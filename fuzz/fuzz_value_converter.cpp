// The value converter on any value for any column, and the text equality on any two texts.
// Properties: a refusal is a DbError naming the column; what is accepted is what the column
// holds (a whole number in range; valid text without NUL that fits; an ISO date of a real day;
// "HH:mm"); the equality is a total order that agrees with fold().
#include "DbError.h"
#include "FuzzInput.h"
#include "Schema.h"
#include "TextCollation.h"
#include "ValueConverter.h"

#include <QDate>
#include <QTime>
#include <QVariant>

namespace {

QVariant consumeValue(FuzzedDataProvider &in) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return QVariant(in.ConsumeIntegral<qint64>());
    case 1:
        return QVariant(in.ConsumeFloatingPoint<double>());
    case 2:
        return QVariant(QDate::fromJulianDay(in.ConsumeIntegralInRange<qint64>(-10, 6000000)));
    case 3:
        return QVariant(QTime::fromMSecsSinceStartOfDay(in.ConsumeIntegralInRange<int>(-1, 86400000)));
    case 4:
        return QVariant(QByteArray::fromStdString(in.ConsumeRandomLengthString(64)));
    case 5:
        return QVariant(in.ConsumeBool());
    default:
        return QVariant(consumeText(in, 48));
    }
}

qsizetype characters(const QString &s) {
    qsizetype n = s.size();
    for (QChar c : s)
        n -= c.isLowSurrogate() ? 1 : 0;
    return n;
}

void checkConverted(const ColumnInfo &column, const QVariant &in, const QVariant &out,
                    const ValueConverter &converter) {
    const QString shown = in.toString() + QStringLiteral(" -> ") + out.toString();
    switch (column.kind) {
    case ColumnKind::Key:
    case ColumnKind::Integer:
        require(out.typeId() == QMetaType::LongLong && out.toLongLong() >= INT32_MIN &&
                    out.toLongLong() <= INT32_MAX,
                "integer in range", shown);
        break;
    case ColumnKind::Text: {
        const QString s = out.toString();
        require(s.isValidUtf16() && !s.contains(QChar(0)) && characters(s) <= column.size,
                "valid text that fits", shown);
        break;
    }
    case ColumnKind::Date: {
        const QString s = out.toString();
        const QDate d = QDate::fromString(s, Qt::ISODate);
        require(s.size() == 10 && d.isValid() && d.toString(Qt::ISODate) == s, "ISO date", shown);
        // What was stored reads back as the same day.
        require(converter.parseDate(s) == d, "ISO date reads back", shown);
        if (in.typeId() == QMetaType::QString)
            require(converter.parseDate(in.toString()) == d, "same day", shown);
        break;
    }
    case ColumnKind::Time: {
        const QString s = out.toString();
        const QTime t = QTime::fromString(s, QStringLiteral("HH:mm"));
        require(s.size() == 5 && t.isValid() && t.toString(QStringLiteral("HH:mm")) == s, "HH:mm", shown);
        // Nothing was cut: a typed time had no seconds.
        if (in.typeId() == QMetaType::QTime) require(in.toTime() == t, "no seconds dropped", shown);
        break;
    }
    }
}

void checkEquality(const QString &a, const QString &b) {
    const int ab = TextCollation::compare(a, b), ba = TextCollation::compare(b, a);
    const QString fa = TextCollation::fold(a), fb = TextCollation::fold(b);
    const QString shown = a + QStringLiteral(" | ") + b;
    require((ab > 0) - (ab < 0) == -((ba > 0) - (ba < 0)), "antisymmetric", shown);
    require((ab == 0) == (fa == fb), "equal exactly when the folds are", shown);
    require(TextCollation::fold(fa) == fa && TextCollation::compare(a, fa) == 0, "fold is stable", shown);
    // Trailing spaces never matter, leading ones always do.
    require(TextCollation::compare(a + QStringLiteral(" \u3000 "), a) == 0, "trailing spaces", shown);
    if (!fa.isEmpty())
        require(TextCollation::compare(QLatin1Char(' ') + a, a) != 0, "leading spaces count", shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const ValueConverter converter(consumeFormats(in));
    QVector<const ColumnInfo *> columns;
    for (const TableInfo &t : Schema::tables())
        for (const ColumnInfo &c : t.columns)
            columns.append(&c);
    const ColumnInfo &column = *columns[in.ConsumeIntegralInRange<qsizetype>(0, columns.size() - 1)];
    const QVariant value = consumeValue(in);
    try {
        const QVariant out = converter.convert(column, value);
        require(!out.isNull(), "a value converts to a value");
        checkConverted(column, value, out, converter);
    } catch (const DbError &e) {
        require(e.message().contains(column.name), "refusal names the column", e.message());
    }
    checkEquality(consumeText(in, 24), consumeText(in, 24));
    return 0;
}
