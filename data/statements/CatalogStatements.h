#pragma once

#include "LocaleFormats.h"

#include <QDateTime>
#include <QString>

class Dataset;

//! The statements of the catalog page: the categories of a shop, the items of a shop's
//! category, and one order line. Shop names, categories and every value of an order line are
//! bound, never written into the statement text. Every engine failure leaves as DbError.
namespace CatalogStatements {

//! The five texts of one order line, as the add button hands them over.
struct OrderLine {
    QString name;  //!< `men_name` of the item row
    QString cap;   //!< `men_cap`
    QString price; //!< `men_price` as text; the engine makes it the column's number
    QString shop;  //!< the shop whose items were listed
    QString note;  //!< the note as typed
};

//! Rebuilds `categories` (the category dataset) for `shop` and opens it: one row per
//! distinct category of the shop, shop and categories compared and grouped as the engine
//! compares text. Opening makes the first category current. On failure it stays closed.
void openCategories(Dataset &categories, const QString &shop);

//! Rebuilds `items` (the item dataset) for `shop` and `category` and opens it: name, cup size
//! and price of every item of that shop and category, in the engine's order, compared as the
//! engine compares text. On failure it stays closed.
void openItems(Dataset &items, const QString &shop, const QString &category);

//! The date text of `moment`: "YYYY/MM/DD" with each "/" the locale's date separator.
QString dateText(const QDateTime &moment, const LocaleFormats &formats);
//! The time text of `moment`: "HH:NN" on the 24-hour clock, ":" the locale's time separator.
QString timeText(const QDateTime &moment, const LocaleFormats &formats);

//! Stores one order line through `query` (the scratch query for inserts): the line's five
//! texts, the signed-in user `user`, and the date and time texts of `now` (one reading of the
//! clock for both). The engine refuses the whole line when a value does not fit its column;
//! nothing is stored then. Leaves the query closed.
void storeOrderLine(Dataset &query, const OrderLine &line, const QString &user, const QDateTime &now,
                    const LocaleFormats &formats);

} // namespace CatalogStatements
