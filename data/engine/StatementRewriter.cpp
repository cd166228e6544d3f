#include "StatementRewriter.h"

#include "DbError.h"
#include "ValueConverter.h"

#include <QDate>
#include <QRegularExpression>

QString StatementRewriter::translateDateLiterals(const QString &text, const ValueConverter &converter) {
    if (!text.contains(QLatin1Char('#'))) return text;
    QString out;
    out.reserve(text.size());
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            out += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('#')) {
            const qsizetype end = text.indexOf(QLatin1Char('#'), i + 1);
            const QString inner = end < 0 ? QString() : text.mid(i + 1, end - i - 1);
            QDate d = converter.parseDate(inner);
            if (!d.isValid()) // the old dialect also read month/day/year
                d = QDate::fromString(inner.trimmed(), QStringLiteral("M/d/yyyy"));
            // Only the years 1 to 9999 have an ISO text: a year such as -1 would become an
            // empty text and select nothing, silently.
            if (!d.isValid() || d.year() < 1 || d.year() > 9999)
                throw DbError(QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(inner),
                              0, text);
            out += QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'');
            i = end;
        } else {
            out += c;
        }
    }
    return out;
}

QString StatementRewriter::withKeyColumn(const QString &text, const QString &key) {
    return afterSelect(text, key + QStringLiteral(", "));
}

QString StatementRewriter::afterSelect(const QString &text, const QString &words) {
    static const QRegularExpression select(QStringLiteral("^\\s*select\\s+"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = select.match(text);
    if (!m.hasMatch()) return QString();
    const qsizetype at = m.capturedEnd();
    return text.left(at) + words + text.mid(at);
}
