#include "MenuStatements.h"

#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"

namespace MenuStatements {

void addItem(Dataset &query, const MenuItem &item) {
    // The cup sizes are the program's own texts, so they stand in the statement itself.
    static const char *const cupLines[] = {" '小' ,", " '中' ,", " '大' ,"};
    if (item.cupSize < 0 || item.cupSize >= int(std::size(cupLines)))
        throw DbError(QStringLiteral("No cup size %1 for a menu item.").arg(item.cupSize));
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("INSERT INTO menu "));
    s.add(QStringLiteral("(men_merchant , men_type , men_name , men_cap , men_price ) "));
    s.add(QStringLiteral("VALUES ("));
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("men_merchant"), item.shop);
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("men_type"), item.category);
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("men_name"), item.name);
    s.add(QString::fromUtf8(cupLines[item.cupSize]));
    s.add(QStringLiteral(" ? )"));
    s.bindFor(QStringLiteral("men_price"), item.price);
    query.execSql();
    query.close();
}

namespace {

//! Binds what tells an item from the others on the menu: shop, category, name and cup size.
void bindWhichItem(Statement &s, const FileItem &item) {
    s.bindFor(QStringLiteral("men_merchant"), item.shop);
    s.bindFor(QStringLiteral("men_type"), item.category);
    s.bindFor(QStringLiteral("men_name"), item.name);
    s.bindFor(QStringLiteral("men_cap"), item.cupSize);
}

//! The lines that find `item` on the menu, with its values bound.
void whereSameItem(Statement &s, const FileItem &item) {
    s.add(QStringLiteral("WHERE men_merchant = ? COLLATE KTEXT AND men_type = ? COLLATE KTEXT"));
    s.add(QStringLiteral("AND men_name = ? COLLATE KTEXT AND men_cap = ? COLLATE KTEXT"));
    bindWhichItem(s, item);
}

} // namespace

Merged mergeItem(Connection &connection, const FileItem &item) {
    Statement prices;
    prices.add(QStringLiteral("SELECT men_price FROM menu"));
    whereSameItem(prices, item);
    const ResultSet found = connection.select(prices);
    const qint64 price = connection.convertFor(QStringLiteral("men_price"), item.price).toLongLong();
    if (found.rowCount() == 0) {
        Statement insert;
        insert.add(QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price)"));
        insert.add(QStringLiteral("VALUES (?, ?, ?, ?, ?)"));
        bindWhichItem(insert, item);
        insert.bindFor(QStringLiteral("men_price"), item.price);
        connection.execute(insert);
        return Merged::Added;
    }
    bool same = true;
    for (int r = 0; r < found.rowCount(); ++r)
        same = same && !found.isNull(r, 0) && found.value(r, 0).toLongLong() == price;
    if (same) return Merged::Unchanged;
    // The menu page may have stored the item more than once: every copy takes the price.
    Statement update;
    update.add(QStringLiteral("UPDATE menu SET men_price = ?"));
    update.bind(price);
    whereSameItem(update, item);
    connection.execute(update);
    return Merged::Updated;
}

} // namespace MenuStatements
