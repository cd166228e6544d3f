#pragma once

#include <QString>
#include <functional>

class Dataset;

//! The shop list: the distinct shop names of the menu, read on the scratch query for reads.
namespace ShopList {

//! Hands every distinct shop name to `append`, in the order the engine groups them, and leaves
//! the query closed. A failure leaves as DbError; names handed over before it stay handed over.
void read(Dataset &query, const std::function<void(const QString &shop)> &append);

} // namespace ShopList
