#include "AccountNameRule.h"

#include <QByteArray>
#include <sqlite3.h>

const char *AccountNameRule::message() {
    return "The account name is taken: sign-in would not tell it from an existing account.";
}

int AccountNameRule::install(sqlite3 *handle) {
    // The existing rows are few (one per person in the office), so a scan per write is cheap.
    // A change that keeps the account name exactly as it was is let through, so that rows
    // that clash from before can still have their other columns changed.
    const QByteArray raise = QByteArray("SELECT RAISE(ABORT, '") + message() + "'); END;";
    const QByteArray sql =
        "CREATE TEMP TRIGGER IF NOT EXISTS customer_number_taken_insert BEFORE INSERT ON customer "
        "WHEN EXISTS (SELECT 1 FROM customer WHERE cus_number = NEW.cus_number COLLATE KTEXT) BEGIN " +
        raise +
        "CREATE TEMP TRIGGER IF NOT EXISTS customer_number_taken_update BEFORE UPDATE OF cus_number ON "
        "customer "
        "WHEN NEW.cus_number IS NOT OLD.cus_number AND EXISTS (SELECT 1 FROM customer "
        "WHERE cus_id IS NOT OLD.cus_id AND cus_number = NEW.cus_number COLLATE KTEXT) BEGIN " +
        raise;
    return sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr);
}
