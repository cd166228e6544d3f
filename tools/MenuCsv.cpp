#include "MenuCsv.h"

#include <QStringDecoder>

QStringList MenuCsv::header() {
    return {QStringLiteral("men_merchant"), QStringLiteral("men_type"), QStringLiteral("men_name"),
            QStringLiteral("men_cap"), QStringLiteral("men_price")};
}

QVector<MenuCsv::Record> MenuCsv::parse(const QByteArray &utf8, QString *error) {
    // Spreadsheets here also save in the legacy Big5 code page: such bytes must not become
    // replacement characters in the menu.
    const QList<QByteArray> lines = utf8.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder(lines[i]);
        if (decoder.hasError()) {
            *error = QStringLiteral("line %1: the text is not UTF-8 (save the file as CSV UTF-8)").arg(i + 1);
            return {};
        }
    }
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

    QVector<Record> records;
    Record current;
    QString field;
    bool quoted = false; // inside a quoted field
    bool fieldStarted = false;
    int line = 1;
    current.line = 1;
    auto endField = [&] {
        current.fields << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool blank = current.fields.size() == 1 && current.fields.first().isEmpty();
        if (!blank) records << current;
        current = Record{};
        current.line = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            // the line feed ends the record
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        *error = QStringLiteral("line %1: a quoted field is not closed").arg(current.line);
        return {};
    }
    if (fieldStarted || !current.fields.isEmpty() || !field.isEmpty()) endRecord();

    if (!records.isEmpty()) {
        QStringList first = records.first().fields;
        for (QString &f : first)
            f = f.trimmed().toLower();
        if (first == header()) records.removeFirst();
    }
    return records;
}

QByteArray MenuCsv::line(const QStringList &fields) {
    QStringList out;
    for (const QString &f : fields) {
        const bool quote = f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
                           f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r')) || f != f.trimmed();
        out << (quote ? QLatin1Char('"') + QString(f).replace(QLatin1String("\""), QLatin1String("\"\"")) +
                            QLatin1Char('"')
                      : f);
    }
    return out.join(QLatin1Char(',')).toUtf8() + "\r\n";
}
