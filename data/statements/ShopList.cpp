#include "ShopList.h"

#include "Dataset.h"

namespace ShopList {

void read(Dataset &query, const std::function<void(const QString &shop)> &append) {
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("Select men_merchant From menu "));
    s.add(QStringLiteral("Group By men_merchant COLLATE KTEXT "));
    query.open();
    // The number of passes is fixed before the first one; the end test guards the move.
    const int rows = query.recordCount();
    for (int i = 0; i < rows; ++i) {
        const Field *shop = query.field(0);
        append(shop ? shop->asString() : QString());
        if (!query.eof()) query.next();
    }
    query.close();
}

} // namespace ShopList
