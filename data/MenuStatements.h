#pragma once

#include <QString>

class Dataset;

//! The menu page's statement: one menu item added through the scratch query for inserts.
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

} // namespace MenuStatements
