#include "PostgresDialect.h"

#include "Schema.h"

#include <QRegularExpression>

namespace {

//! Where a quoted text or a comment that starts at `i` ends (the position after it; the end of
//! the text when it is not closed), else `i`: what the engine reads as no part of the statement.
qsizetype skipped(const QString &text, qsizetype i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        const qsizetype end = text.indexOf(c, i + 1);
        return end < 0 ? text.size() : end + 1;
    }
    if (QStringView(text).mid(i, 2) == QLatin1String("--")) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), i);
        return end < 0 ? text.size() : end;
    }
    if (QStringView(text).mid(i, 2) == QLatin1String("/*")) {
        // Ends at the first "*/", as the file's engine reads it.
        const qsizetype end = text.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? text.size() : end + 2;
    }
    return i;
}

} // namespace

QString PostgresDialect::translate(const QString &text) {
    QString out;
    out.reserve(text.size() + 8);
    int number = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (const qsizetype stop = skipped(text, i); stop > i) {
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
    // The exact, byte-for-byte comparison that the file's engine calls BINARY.
    static const QRegularExpression binary(QStringLiteral("\\bcollate\\s+\"?binary\"?(?!\\w)"),
                                           QRegularExpression::CaseInsensitiveOption);
    out.replace(binary, QStringLiteral("COLLATE \"C\""));
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

QString PostgresDialect::withKeyOrder(const QString &text) {
    // The text with quotes, comments and anything in parentheses blanked: what is left is the
    // select's own clauses.
    QString top(text.size(), QLatin1Char(' '));
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (const qsizetype stop = skipped(text, i); stop > i) {
            i = stop - 1;
            continue;
        }
        if (c == QLatin1Char('(')) ++depth;
        if (depth == 0) top[i] = c;
        if (c == QLatin1Char(')')) --depth;
    }
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    while (out.endsWith(QLatin1Char('\n')) || out.endsWith(QLatin1Char('\r')) ||
           out.endsWith(QLatin1Char(' ')) || out.endsWith(QLatin1Char(';')))
        out.chop(1);
    // Position 1: the key the select carries in front; on a line of its own, after any comment.
    return out +
           (orderBy.match(top).hasMatch() ? QStringLiteral("\r\n, 1") : QStringLiteral("\r\nORDER BY 1"));
}
