#include "AccountNameRule.h"

#include "Schema.h"

#include <QByteArray>
#include <QCoreApplication>
#include <sqlite3.h>

const char *AccountNameRule::message() {
    return "The account name is taken: sign-in would not tell it from an existing account.";
}

QString AccountNameRule::takenReason() {
    return QCoreApplication::translate("AccountNameRule",
                                       "這個帳號已有人使用：登入時不分大小寫、全形半形，也不計結尾的空白，"
                                       "無法與現有的帳號區分。請換一個帳號。");
}

QString AccountNameRule::takenMessage() {
    return takenReason() + QStringLiteral(" (") + QString::fromLatin1(message()) + QLatin1Char(')');
}

bool AccountNameRule::governs(const ColumnInfo &column) {
    return column.table.compare(QLatin1String("customer"), Qt::CaseInsensitive) == 0 &&
           column.name.compare(QLatin1String("cus_number"), Qt::CaseInsensitive) == 0;
}

bool AccountNameRule::signInCanMatch(const QString &name) {
    // Sign-in trims what is typed, and text equality then ignores the stored name's trailing
    // spaces: a name that starts with a trimmed character, or ends with one before its trailing
    // spaces, is equal to nothing sign-in ever compares.
    if (name.isEmpty()) return true;
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1) == QLatin1Char(' '))
        --end;
    return name.front().unicode() > 32 && (end == 0 || name.at(end - 1).unicode() > 32);
}

QString AccountNameRule::untrimmedMessage() {
    return QCoreApplication::translate(
        "AccountNameRule", "帳號不可以用空白或控制字元開頭，也不可以用控制字元結尾：登入時"
                           "會去掉這些字元，這樣的帳號永遠無法登入。請去掉帳號前後的空白與控制字元。");
}

int AccountNameRule::install(sqlite3 *handle) {
    // The existing rows are few (one per person in the office), so a scan per write is cheap.
    // A change that keeps the account name exactly as it was is let through, so that rows
    // that clash from before can still have their other columns changed.
    const QByteArray raise = "SELECT RAISE(ABORT, '" + takenMessage().toUtf8() + "'); END;";
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
