#include "MenuImport.h"

#include "Connection.h"
#include "DbError.h"
#include "MenuStatements.h"
#include "Schema.h"

#include <QRegularExpression>

namespace {

//! The cup sizes the menu page offers, as its radio items say them and as they are stored.
QString storedCupSize(const QString &typed) {
    for (const char *size : {"小", "中", "大"}) {
        const QString stored = QString::fromUtf8(size);
        if (typed == stored || typed == stored + QStringLiteral("杯")) return stored;
    }
    return QString();
}

} // namespace

QString MenuImport::textProblem(Connection &connection, int column, const QString &text) {
    const QString caption = MenuCsv::captions().at(column);
    const QString name = MenuCsv::header().at(column);
    try {
        connection.convertFor(name, text);
    } catch (const DbError &e) {
        if (e.category() == DbError::Category::TooLong)
            return QStringLiteral("%1 '%2' has %3 characters, more than the %4 characters it holds")
                .arg(caption, text)
                .arg(text.toUcs4().size())
                .arg(Schema::column(name)->size);
        return QStringLiteral("%1 holds a character that cannot be stored (a NUL or a broken character)")
            .arg(caption);
    }
    return QString();
}

QString MenuImport::problem(Connection &connection, const QStringList &fields, QString *cupSize) {
    const QStringList captions = MenuCsv::captions();
    if (fields.size() != captions.size())
        return QStringLiteral("%1 fields, expected %2 (%3)")
            .arg(fields.size())
            .arg(captions.size())
            .arg(captions.join(QStringLiteral(", ")));
    for (int i = 0; i < 3; ++i) {
        if (fields[i].isEmpty()) return QStringLiteral("%1 is empty").arg(captions[i]);
        if (const QString why = textProblem(connection, i, fields[i]); !why.isEmpty()) return why;
    }
    *cupSize = storedCupSize(fields[3]);
    if (cupSize->isEmpty())
        return QStringLiteral("%1 '%2' is none of the cup sizes the menu page offers (小, 中, 大)")
            .arg(captions[3], fields[3]);
    const QString &price = fields[4];
    if (price.isEmpty()) return QStringLiteral("%1 is empty").arg(captions[4]);
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(price).hasMatch())
        return QStringLiteral("%1 '%2' is not a whole number").arg(captions[4], price);
    if (price.startsWith(QLatin1Char('-')) && price.mid(1).toLongLong() != 0)
        return QStringLiteral("%1 '%2' is negative").arg(captions[4], price);
    try {
        connection.convertFor(MenuCsv::header().at(4), price);
    } catch (const DbError &) {
        return QStringLiteral("%1 '%2' is too large").arg(captions[4], price);
    }
    return QString();
}

MenuImport::Outcome MenuImport::run(Connection &connection, const QVector<MenuCsv::Record> &records) {
    Outcome out;
    QVector<MenuStatements::FileItem> items;
    for (const MenuCsv::Record &r : records) {
        QString cupSize;
        if (const QString why = problem(connection, r.fields, &cupSize); !why.isEmpty()) {
            out.line = r.line;
            out.refusal = why;
            return out;
        }
        items.append({r.fields[0], r.fields[1], r.fields[2], cupSize, r.fields[4]});
    }
    int at = 0;
    try {
        connection.inTransaction([&] {
            for (at = 0; at < items.size(); ++at) {
                switch (MenuStatements::mergeItem(connection, items[at])) {
                case MenuStatements::Merged::Added:
                    ++out.added;
                    break;
                case MenuStatements::Merged::Updated:
                    ++out.updated;
                    break;
                case MenuStatements::Merged::Unchanged:
                    ++out.unchanged;
                    break;
                }
            }
        });
    } catch (const DbError &e) {
        out = Outcome{};
        out.line = at < records.size() ? records[at].line : 0;
        out.refusal = e.message();
        if (out.refusal.endsWith(QLatin1Char('.'))) out.refusal.chop(1);
    }
    return out;
}
