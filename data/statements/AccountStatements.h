#pragma once

#include <QString>
#include <optional>

class Dataset;

//! The statements of the account pages, each run on the scratch query it is given. Every
//! engine failure leaves as DbError.
namespace AccountStatements {

//! The account a sign-in found.
struct SignedInAccount {
    QString name;  //!< `cus_name`
    int level = 0; //!< `cus_leve`, 0 when empty
};

//! What an application stores, exactly as typed.
struct Application {
    QString account;  //!< `cus_number`
    QString name;     //!< `cus_name`
    QString password; //!< `cus_password`
    QString group;    //!< `cus_group`
};

//! A typed text as sign-in compares it: characters of code 32 and below trimmed from both
//! ends, ASCII capitals made small; every other character unchanged.
QString prepared(const QString &typed);

//! Sign-in's look-up on `query` (the scratch query for reads): the one account whose account
//! name and password equal the prepared typed texts as the engine compares text. Empty when
//! no row or more than one row matches. Leaves the query closed.
std::optional<SignedInAccount> findAccount(Dataset &query, const QString &account, const QString &password);

//! Stores an application with user level 0 through `query` (the scratch query for inserts);
//! leaves the query closed.
void apply(Dataset &query, const Application &application);

} // namespace AccountStatements
