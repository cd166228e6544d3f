#include "MenuCsv.h"

#include <QStringDecoder>
#include <array>

namespace {

//! What a header line may call each column, in the order of the columns: the column name, the
//! menu page's caption, and the words offices use, compared as normalised() makes them.
const std::array<QStringList, 5> &columnWords() {
    static const std::array<QStringList, 5> words = {
        QStringList{QStringLiteral("men_merchant"), QStringLiteral("商店名稱"), QStringLiteral("店家"),
                    QStringLiteral("商店"), QStringLiteral("店名"), QStringLiteral("shop"),
                    QStringLiteral("store"), QStringLiteral("merchant")},
        QStringList{QStringLiteral("men_type"), QStringLiteral("飲料分類"), QStringLiteral("分類"),
                    QStringLiteral("類別"), QStringLiteral("category"), QStringLiteral("type")},
        QStringList{QStringLiteral("men_name"), QStringLiteral("飲料名稱"), QStringLiteral("品名"),
                    QStringLiteral("名稱"), QStringLiteral("飲料"), QStringLiteral("item"),
                    QStringLiteral("name"), QStringLiteral("drink")},
        QStringList{QStringLiteral("men_cap"), QStringLiteral("杯量"), QStringLiteral("容量"),
                    QStringLiteral("cup size"), QStringLiteral("cup"), QStringLiteral("size")},
        QStringList{QStringLiteral("men_price"), QStringLiteral("售價"), QStringLiteral("價格"),
                    QStringLiteral("價錢"), QStringLiteral("price")},
    };
    return words;
}

//! A header's word without letter case, spaces (the page's captions spread theirs out),
//! underscores or hyphens.
QString normalised(const QString &word) {
    QString out;
    for (const QChar c : word)
        if (!c.isSpace() && c != QLatin1Char('_') && c != QLatin1Char('-')) out += c.toLower();
    return out;
}

//! For a header line, the position of each column among its fields; empty for any other line.
QVector<int> headerOrder(const QStringList &fields) {
    const auto &words = columnWords();
    if (fields.size() != int(words.size())) return {};
    QVector<int> order(int(words.size()), -1);
    for (int i = 0; i < fields.size(); ++i) {
        const QString field = normalised(fields[i]);
        int column = -1;
        for (int c = 0; c < int(words.size()) && column < 0; ++c)
            for (const QString &w : words[size_t(c)])
                if (normalised(w) == field) column = c;
        if (column < 0 || order[column] >= 0) return {};
        order[column] = i;
    }
    return order;
}

//! The lines of the bytes, ended by CR LF, LF or a lone CR, as the records count them.
QList<QByteArray> physicalLines(const QByteArray &bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r') continue;
        lines << bytes.mid(start, i - start);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines << bytes.mid(start);
    return lines;
}

//! The separator the first line uses, outside quotes: the one of comma, semicolon and tab it
//! holds most of; a comma when it holds none.
QChar separatorOf(const QString &text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false, started = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (quoted) continue;
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (started) break;
            continue;
        }
        started = true;
        commas += c == QLatin1Char(',');
        semicolons += c == QLatin1Char(';');
        tabs += c == QLatin1Char('\t');
    }
    if (semicolons > commas && semicolons >= tabs) return QLatin1Char(';');
    if (tabs > commas && tabs > semicolons) return QLatin1Char('\t');
    return QLatin1Char(',');
}

} // namespace

QStringList MenuCsv::header() {
    QStringList out;
    for (const QStringList &words : columnWords())
        out << words.first();
    return out;
}

QStringList MenuCsv::captions() {
    return {QStringLiteral("店家"), QStringLiteral("分類"), QStringLiteral("品名"), QStringLiteral("杯量"),
            QStringLiteral("價格")};
}

QVector<MenuCsv::Record> MenuCsv::parse(const QByteArray &utf8, QString *error) {
    // Spreadsheets here also save in the legacy Big5 code page: such bytes must not become
    // replacement characters in the menu.
    const QList<QByteArray> lines = physicalLines(utf8);
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
    const QChar separator = separatorOf(text);

    QVector<Record> records;
    Record current;
    QString field;
    bool quoted = false; // inside a quoted field
    bool fieldStarted = false;
    int line = 1;
    current.line = 1;
    auto endField = [&] {
        // Spaces around a field are no part of it, as none are in what the menu page stores.
        current.fields << field.trimmed();
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
        const bool lineEnd = c == QLatin1Char('\n') || c == QLatin1Char('\r');
        // CR LF is one line end.
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ++i;
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (lineEnd) ++line;
                field += lineEnd ? QChar(QLatin1Char('\n')) : c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            quoted = true;
            fieldStarted = true;
            field.clear();
        } else if (c == separator) {
            endField();
        } else if (lineEnd) {
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

    // A header line names the columns, perhaps in another order: the records follow it.
    if (!records.isEmpty()) {
        const QVector<int> order = headerOrder(records.first().fields);
        if (!order.isEmpty()) {
            records.removeFirst();
            for (Record &r : records) {
                if (r.fields.size() != order.size()) continue;
                QStringList inOrder;
                for (const int i : order)
                    inOrder << r.fields[i];
                r.fields = inOrder;
            }
        }
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
