#include "AccountStatements.h"

#include "Dataset.h"
#include "DbError.h"

#include <climits>

namespace AccountStatements {

QString prepared(const QString &typed) {
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && typed.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && typed.at(end - 1).unicode() <= 32)
        --end;
    QString out = typed.mid(begin, end - begin);
    for (QChar &c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
    }
    return out;
}

std::optional<SignedInAccount> findAccount(Dataset &query, const QString &account, const QString &password) {
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("Select * From customer Where "));
    s.add(QStringLiteral("cus_number = ? COLLATE KTEXT "));
    s.bind(prepared(account));
    s.add(QStringLiteral("and cus_password = ? COLLATE KTEXT "));
    s.bind(prepared(password));
    query.open();

    std::optional<SignedInAccount> found;
    // No row (at-start equals at-end right after opening) or more than one: nobody.
    if (query.bof() != query.eof() && query.recordCount() == 1) {
        // By position: cus_name and cus_leve in customer's fixed column order.
        const Field *nameField = query.field(2);
        const Field *levelField = query.field(5);
        if (!nameField || !levelField)
            throw DbError(QStringLiteral("The customer table lacks the name or level column."));
        // A level beyond the integer range must not wrap round to a manager's level.
        found = SignedInAccount{nameField->asString(),
                                int(qBound(qint64(INT_MIN), levelField->asInteger(), qint64(INT_MAX)))};
    }
    query.close();
    return found;
}

void apply(Dataset &query, const Application &application) {
    // The typed texts go in exactly as typed; the engine converts them to their columns'
    // types and refuses what a column cannot hold.
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("INSERT INTO customer "));
    s.add(QStringLiteral("(cus_number , cus_name , cus_password , cus_group , cus_leve ) "));
    s.add(QStringLiteral("VALUES ("));
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("cus_number"), application.account);
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("cus_name"), application.name);
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("cus_password"), application.password);
    s.add(QStringLiteral(" ? ,"));
    s.bindFor(QStringLiteral("cus_group"), application.group);
    s.add(QStringLiteral(" '0' )"));
    query.execSql();
    query.close();
}

} // namespace AccountStatements
