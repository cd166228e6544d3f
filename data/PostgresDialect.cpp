#include "PostgresDialect.h"

#include "Schema.h"

#include <QRegularExpression>

QString PostgresDialect::translate(const QString &text) {
    QString out;
    out.reserve(text.size() + 8);
    int number = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = text.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? text.size() : end + 1;
            out += QStringView(text).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('-') && i + 1 < text.size() && text[i + 1] == QLatin1Char('-')) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? text.size() : end;
            out += QStringView(text).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('/') && i + 1 < text.size() && text[i + 1] == QLatin1Char('*')) {
            // Ends at the first "*/", as the file's engine reads it.
            const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? text.size() : end + 2;
            out += QStringView(text).mid(i, stop - i);
            i = stop - 1;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++number);
        } else {
            out += c;
        }
    }
    static const QRegularExpression grouping(
        QStringLiteral("(\\bgroup\\s+by\\s+[\\w.]+)\\s+collate\\s+\"?ktext\"?"),
        QRegularExpression::CaseInsensitiveOption);
    out.replace(grouping, QStringLiteral("\\1"));
    return out;
}

QString PostgresDialect::withReturningKey(const QString &text, QString *key) {
    static const QRegularExpression insert(QStringLiteral("^\\s*insert\\s+into\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression returning(QStringLiteral("\\breturning\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = insert.match(text);
    const TableInfo *table = m.hasMatch() ? Schema::table(m.captured(1)) : nullptr;
    if (!table || returning.match(text).hasMatch()) return text;
    *key = table->columns.first().name;
    QString out = text;
    while (out.endsWith(QLatin1Char('\n')) || out.endsWith(QLatin1Char('\r')) ||
           out.endsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char(';')))
        out.chop(1);
    return out + QStringLiteral("\r\nRETURNING ") + *key;
}
