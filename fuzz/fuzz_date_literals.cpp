// The translation of `#date#` literals in statement text, on statements made of words, quoted
// texts, literals of real days in every accepted form, and literals of any text; then on any
// text at all. Properties: a refusal is a DbError that names the literal; a statement
// translates piece by piece (a literal's meaning never depends on what stands beside it); a
// literal of a real day becomes that day's ISO text, year first always and the short date's
// order otherwise; whatever a literal becomes is a real day of the years 1 to 9999; quoted
// text is never touched; translating again changes nothing.
#include "DbError.h"
#include "FuzzInput.h"
#include "StatementRewriter.h"
#include "ValueConverter.h"

#include <QDate>
#include <QRegularExpression>

namespace {

QString translate(const QString &text, const ValueConverter &converter, bool *refused) {
    try {
        *refused = false;
        return StatementRewriter::translateDateLiterals(text, converter);
    } catch (const DbError &e) {
        require(!e.message().isEmpty() && e.message().contains(QLatin1Char('#')),
                "a refusal names the literal", e.message());
        *refused = true;
        return QString();
    }
}

//! One piece of a statement and what it must become; an empty `expected` means "any real day".
struct Piece {
    QString text;
    QString expected;
    bool literal = false;
};

QDate consumeDay(FuzzedDataProvider &in) {
    // Mostly days an office orders on; now and then any day of the years 1 to 9999.
    if (in.ConsumeBool()) return QDate(2000, 1, 1).addDays(in.ConsumeIntegralInRange(0, 36524));
    return QDate(1, 1, 1).addDays(
        in.ConsumeIntegralInRange<qint64>(0, QDate(1, 1, 1).daysTo(QDate(9999, 12, 31))));
}

//! A literal of a real day, written as someone would; `expected` is set where the form says the
//! day unambiguously.
Piece dayLiteral(FuzzedDataProvider &in, const LocaleFormats &formats) {
    const QDate day = consumeDay(in);
    Piece p;
    p.literal = true;
    const QString iso = QLatin1Char('\'') + day.toString(Qt::ISODate) + QLatin1Char('\'');
    const QString f = formats.shortDateFormat;
    const bool fullShort =
        f.contains(QLatin1String("yyyy")) && f.contains(QLatin1Char('M')) && f.contains(QLatin1Char('d'));
    const bool shortShort = !f.contains(QLatin1String("yyyy")) && f.contains(QLatin1String("yy")) &&
                            f.contains(QLatin1Char('M')) && f.contains(QLatin1Char('d'));
    QString written;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: { // year/month/day with the system's or any accepted separator, padded or not
        const QString separators = QString(formats.dateSeparator) + QStringLiteral("/-.");
        const QChar s = separators[in.ConsumeIntegralInRange<qsizetype>(0, separators.size() - 1)];
        const bool pad = in.ConsumeBool();
        written = day.toString(QStringLiteral("yyyy")) + s + day.toString(pad ? u"MM" : u"M") + s +
                  day.toString(pad ? u"dd" : u"d");
        const bool digitSeparator = s.isDigit();
        if (!digitSeparator) p.expected = iso;
        break;
    }
    case 1: // the system's short date
        written = day.toString(f);
        if (fullShort || (shortShort && day.year() >= 2000 && day.year() <= 2099)) p.expected = iso;
        break;
    case 2: // month/day/year, as the old dialect read it
        written = day.toString(QStringLiteral("M/d/yyyy"));
        break;
    default: // white space around it
        written = QStringLiteral(" ") + day.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("\r\n");
        p.expected = iso;
        break;
    }
    if (written.contains(QLatin1Char('#'))) p.expected.clear();
    p.text = QLatin1Char('#') + written + QLatin1Char('#');
    return p;
}

Piece consumePiece(FuzzedDataProvider &in, const LocaleFormats &formats) {
    static const char *const words[] = {"select * from ordern where ord_date = ",
                                        " and ",
                                        " or ",
                                        "\r\n",
                                        "ord_date",
                                        " between ",
                                        "(",
                                        ")",
                                        "<>",
                                        "Sum(ord_pric)",
                                        " ",
                                        "ORDER BY ord_mer",
                                        "--",
                                        "/*",
                                        "*/"};
    Piece p;
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        p.text = QString::fromLatin1(words[in.ConsumeIntegralInRange<size_t>(0, std::size(words) - 1)]);
        break;
    case 1: { // a quoted text, which may hold '#' and the other quote
        const QChar quote = in.ConsumeBool() ? QLatin1Char('\'') : QLatin1Char('"');
        QString inner = consumeText(in, 12);
        if (in.ConsumeBool())
            inner.insert(in.ConsumeIntegralInRange<qsizetype>(0, inner.size()), u"#1/2/2026#");
        inner.remove(quote);
        p.text = quote + inner + quote;
        break;
    }
    case 2: // a literal of any text
        p.text = QLatin1Char('#') + consumeText(in, 16).remove(QLatin1Char('#')) + QLatin1Char('#');
        p.literal = true;
        break;
    case 3: { // a literal of numbers, signs and separators that look like a day
        static const char *const parts[] = {"1/2/", "12/31/", "1", "2", "12", "31", "0", "00", "0001", "2026",
                                            "9999", "10000",  "-", "+", "/",  ".",  " ", "-0", "13",   "29"};
        p.text = QStringLiteral("#");
        for (int i = in.ConsumeIntegralInRange(1, 7); i > 0; --i)
            p.text += QLatin1String(parts[in.ConsumeIntegralInRange<size_t>(0, std::size(parts) - 1)]);
        p.text += QLatin1Char('#');
        p.literal = true;
        break;
    }
    default:
        return dayLiteral(in, formats);
    }
    // Words hold no quote or '#', and a quoted text is closed: no piece changes how the next
    // one is read.
    if (!p.literal) p.expected = p.text;
    return p;
}

//! No '#' stands outside quotes in `text`.
bool noLiteralLeft(const QString &text) {
    QChar quote;
    for (QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('#')) {
            return false;
        }
    }
    return true;
}

void checkDay(const QString &translated, const QString &literal) {
    static const QRegularExpression isoText(QStringLiteral("^'(\\d{4})-(\\d\\d)-(\\d\\d)'$"));
    const QRegularExpressionMatch m = isoText.match(translated);
    require(m.hasMatch(), "a literal becomes a quoted ISO day",
            literal + QStringLiteral(" -> ") + translated);
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    require(d.isValid() && d.year() >= 1, "a real day of the years 1 to 9999",
            literal + QStringLiteral(" -> ") + translated);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const LocaleFormats formats = consumeFormats(in);
    const ValueConverter converter(formats);
    bool refused = false;

    if (in.ConsumeBool()) { // any text at all
        const QString text = consumeText(in, 64);
        const QString out = translate(text, converter, &refused);
        if (refused) return 0;
        require(noLiteralLeft(out), "no literal left", text + QStringLiteral(" -> ") + out);
        bool again = false;
        require(translate(out, converter, &again) == out && !again, "translating again changes nothing", out);
        if (!text.contains(QLatin1Char('#'))) require(out == text, "text without literals stays", text);
        return 0;
    }

    QString statement, expected;
    bool anyRefused = false;
    const int pieces = in.ConsumeIntegralInRange(1, 12);
    for (int i = 0; i < pieces && in.remaining_bytes() > 0; ++i) {
        const Piece p = consumePiece(in, formats);
        statement += p.text;
        if (!p.literal) {
            expected += p.expected;
            continue;
        }
        bool pieceRefused = false;
        const QString alone = translate(p.text, converter, &pieceRefused);
        if (pieceRefused) {
            require(p.expected.isEmpty(), "a literal of a real day is read", p.text);
            anyRefused = true;
            continue;
        }
        checkDay(alone, p.text);
        if (!p.expected.isEmpty())
            require(alone == p.expected, "the day written", p.text + QStringLiteral(" -> ") + alone);
        expected += alone;
    }
    const QString out = translate(statement, converter, &refused);
    require(refused == anyRefused, "refused exactly when a literal is no day", statement);
    if (refused) return 0;
    require(out == expected, "translated piece by piece", statement + QStringLiteral("\n") + out);
    require(noLiteralLeft(out), "no literal left", out);
    bool again = false;
    require(translate(out, converter, &again) == out && !again, "translating again changes nothing", out);
    return 0;
}
