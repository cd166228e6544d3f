#include "CatalogStatements.h"

#include "Dataset.h"

namespace CatalogStatements {

void openCategories(Dataset &categories, const QString &shop) {
    categories.close();
    Statement &s = categories.statement();
    s.clear();
    s.add(QStringLiteral("select men_type from menu where "));
    s.add(QStringLiteral("men_merchant = ? COLLATE KTEXT "));
    s.bind(shop);
    s.add(QStringLiteral("group by men_type COLLATE KTEXT"));
    categories.open();
}

void openItems(Dataset &items, const QString &shop, const QString &category) {
    items.close();
    Statement &s = items.statement();
    s.clear();
    s.add(QStringLiteral("select men_name, men_cap, men_price from menu where "));
    s.add(QStringLiteral("men_merchant = ? COLLATE KTEXT and "));
    s.bind(shop);
    s.add(QStringLiteral("men_type = ? COLLATE KTEXT "));
    s.bind(category);
    items.open();
}

QString dateText(const QDateTime &moment, const LocaleFormats &formats) {
    // The separator goes in after formatting, so that no separator is read as a format letter.
    return moment.date()
        .toString(QStringLiteral("yyyy/MM/dd"))
        .replace(QLatin1Char('/'), formats.dateSeparator);
}

QString timeText(const QDateTime &moment, const LocaleFormats &formats) {
    return moment.time().toString(QStringLiteral("HH:mm")).replace(QLatin1Char(':'), formats.timeSeparator);
}

void storeOrderLine(Dataset &query, const OrderLine &line, const QString &user, const QDateTime &now,
                    const LocaleFormats &formats) {
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("INSERT INTO ordern "));
    s.add(QStringLiteral("(ord_name , ord_cap , ord_pric , ord_mer , ord_note , ord_cusomter , ord_date , "
                         "ord_time ) "));
    s.add(QStringLiteral("VALUES ( "));
    const std::pair<const char *, QString> values[] = {{"ord_name", line.name},
                                                       {"ord_cap", line.cap},
                                                       {"ord_pric", line.price},
                                                       {"ord_mer", line.shop},
                                                       {"ord_note", line.note},
                                                       {"ord_cusomter", user},
                                                       {"ord_date", dateText(now, formats)},
                                                       {"ord_time", timeText(now, formats)}};
    const std::size_t count = std::size(values);
    for (std::size_t i = 0; i < count; ++i) {
        s.add(i + 1 < count ? QStringLiteral(" ? ,") : QStringLiteral(" ? )"));
        s.bindFor(QString::fromLatin1(values[i].first), values[i].second);
    }
    query.execSql();
    query.close();
}

} // namespace CatalogStatements
