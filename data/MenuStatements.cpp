#include "MenuStatements.h"

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

} // namespace MenuStatements
