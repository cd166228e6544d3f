#pragma once

#include <QString>

class Connection;
class Dataset;

//! The menu page's statement: one menu item added through the scratch query for inserts; and
//! the admin tool's merge of a menu file's item into the menu.
//! Every value the user typed is bound, never written into the statement text. Every engine
//! failure leaves as DbError.
namespace MenuStatements {

//! One menu item as the menu page's form gives it.
struct MenuItem {
    QString shop;     //!< `men_merchant`
    QString category; //!< `men_type`
    QString name;     //!< `men_name`
    int cupSize = 0;  //!< 0, 1, 2: stored as "小", "中", "大" in `men_cap`
    QString price;    //!< `men_price` as typed; the engine makes it the column's whole number
};

//! Stores `item` through `query`; texts go as typed, empty ones included, and the engine
//! refuses the whole item when a value does not fit its column (a price that is not a whole
//! number, a text longer than its column) or the cup size is none of the three: nothing is
//! stored then. Leaves the query closed.
void addItem(Dataset &query, const MenuItem &item);

//! One item of a menu file: the texts as read, the cup size as stored ("小", "中", "大").
struct FileItem {
    QString shop, category, name, cupSize, price;
};

//! What merging an item did to the menu.
enum class Merged { Added, Updated, Unchanged };

//! Merges `item` into the menu on `connection`: an item already there (the same shop,
//! category, name and cup size as the engine compares text) takes the new price, and is not
//! added again; any other is added.
Merged mergeItem(Connection &connection, const FileItem &item);

} // namespace MenuStatements
