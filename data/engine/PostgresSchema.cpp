#include "PostgresSchema.h"

#include "PostgresResult.h"
#include "Schema.h"

#include <algorithm>

namespace {

QString columnDefinition(const ColumnInfo &c) {
    const QString n = c.name;
    switch (c.kind) {
    case ColumnKind::Key:
        // Always assigned by the server, always larger for later rows, never reused.
        return n + QStringLiteral(" integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    case ColumnKind::Integer:
        return n + QStringLiteral(" integer");
    case ColumnKind::Text:
        // Blank-padded text: trailing spaces are kept but not compared, as the file's texts are.
        // A named CHECK rather than a length in the type, so a refusal names the column; concat()
        // counts the trailing spaces, which char_length() of bpchar would not.
        return QStringLiteral(
                   "%1 bpchar COLLATE ktext CONSTRAINT %1_len CHECK (char_length(concat(%1)) <= %2)")
            .arg(n)
            .arg(c.size);
    case ColumnKind::Date:
        // Only the years that read back as yyyy-MM-dd: the type itself takes BC and beyond 9999.
        return QStringLiteral("%1 date CONSTRAINT %1_iso CHECK (%1 BETWEEN '0001-01-01' AND '9999-12-31')")
            .arg(n);
    case ColumnKind::Time:
        // Minutes only, and no 24:00, which the type itself would take.
        return QStringLiteral(
                   "%1 time(0) CONSTRAINT %1_minute CHECK (extract(second FROM %1) = 0 AND %1 < '24:00')")
            .arg(n);
    }
    return n;
}

QString expectedType(const ColumnInfo &c) {
    switch (c.kind) {
    case ColumnKind::Key:
    case ColumnKind::Integer:
        return QStringLiteral("integer");
    case ColumnKind::Text:
        return QStringLiteral("bpchar");
    case ColumnKind::Date:
        return QStringLiteral("date");
    case ColumnKind::Time:
        return QStringLiteral("time(0) without time zone");
    }
    return QString();
}

//! The name of the CHECK our schema gives `c`; empty for a column without one.
QString checkName(const ColumnInfo &c) {
    switch (c.kind) {
    case ColumnKind::Text:
        return c.name + QStringLiteral("_len");
    case ColumnKind::Date:
        return c.name + QStringLiteral("_iso");
    case ColumnKind::Time:
        return c.name + QStringLiteral("_minute");
    default:
        return QString();
    }
}

//! What the CHECK of `c` holds the column to, as a problem names it.
QString checkRule(const ColumnInfo &c) {
    switch (c.kind) {
    case ColumnKind::Text:
        return QStringLiteral("%1 characters, trailing spaces counted").arg(c.size);
    case ColumnKind::Date:
        return QStringLiteral("the years 1 to 9999");
    default:
        return QStringLiteral("whole minutes of one day");
    }
}

//! A select that reads true when `expression`, the server's text of the CHECK of `c`, lets in
//! the values our CHECK lets in and refuses the others: the values at its limits, each standing
//! in for the column under its name. Read-only; the expression is never stored anywhere.
QString checkProbe(const ColumnInfo &c, const QString &expression) {
    QStringList rows;
    const auto row = [&](const QString &literal, bool allowed) {
        rows << QStringLiteral("(%1, %2)")
                    .arg(literal, allowed ? QStringLiteral("true") : QStringLiteral("false"));
    };
    switch (c.kind) {
    case ColumnKind::Text: {
        const QString fits(c.size, QLatin1Char('x'));
        row(QStringLiteral("'%1'::bpchar").arg(fits), true);
        row(QStringLiteral("'%1x'::bpchar").arg(fits), false);
        row(QStringLiteral("'%1 '::bpchar").arg(fits), false);
        break;
    }
    case ColumnKind::Date:
        for (const char *day : {"0001-01-01", "9999-12-31"})
            row(QStringLiteral("date '%1'").arg(QLatin1String(day)), true);
        for (const char *day : {"0001-12-31 BC", "10000-01-01"})
            row(QStringLiteral("date '%1'").arg(QLatin1String(day)), false);
        break;
    default:
        for (const char *time : {"00:00", "23:59"})
            row(QStringLiteral("'%1'::time(0)").arg(QLatin1String(time)), true);
        for (const char *time : {"23:59:30", "24:00"})
            row(QStringLiteral("'%1'::time(0)").arg(QLatin1String(time)), false);
    }
    // A CHECK lets a row in unless its expression is false.
    return QStringLiteral("SELECT coalesce(bool_and(coalesce((%1), true) = allowed), false) "
                          "FROM (VALUES %2) AS probe(%3, allowed)")
        .arg(expression, rows.join(QStringLiteral(", ")), c.name);
}

//! A select that reads true when the collation ktext tells apart exactly the texts it should:
//! letter case and width ignored, accents and letters counted.
QString collationProbe() {
    return QStringLiteral("SELECT coalesce(bool_and((a = b COLLATE ktext) = same), false) FROM (VALUES "
                          "('Admin', 'ＡＤＭＩＮ', true), ('綠茶', '綠茶', true), ('café', 'cafe', false), "
                          "('tea', 'teas', false), ('綠茶', '紅茶', false)) AS p(a, b, same)");
}

//! A select that reads true when the unique index's key `expression` under `collation` makes
//! the account names sign-in confuses one key (case, width, trailing spaces of either width),
//! and keeps other names apart.
QString accountRuleProbe(const QString &expression, const QString &collation) {
    const QString key = QStringLiteral("(SELECT %1 FROM (VALUES (p.%2::bpchar)) AS v(cus_number))");
    return QStringLiteral(
               "SELECT coalesce(bool_and((%1 = %2%3) = same), false) FROM (VALUES "
               "('admin', 'ADMIN', true), ('admin', 'ａｄｍｉｎ', true), ('admin', 'admin  ', true), "
               "('admin', 'admin　', true), ('admin', 'ＡＤＭＩＮ　 ', true), "
               "('admin', 'admi', false), ('admin', 'adm1n', false)) AS p(a, b, same)")
        .arg(key.arg(expression, QStringLiteral("a")), key.arg(expression, QStringLiteral("b")),
             collation.isEmpty() ? QString() : QStringLiteral(" COLLATE ") + collation);
}

//! Which of `probes` read true, in one read-only transaction (or, within the caller's
//! transaction, a savepoint rolled back), so no expression can change anything; a probe whose
//! expression cannot run on its column alone reads false.
QVector<bool> probesHold(PGconn *connection, const QStringList &probes) {
    const bool nested = PQtransactionStatus(connection) == PQTRANS_INTRANS;
    const char *undo = nested ? "ROLLBACK TO SAVEPOINT probe; RELEASE SAVEPOINT probe" : "ROLLBACK";
    const auto run = [&](const QStringList &some) {
        QStringList columns;
        for (const QString &p : some)
            columns << QLatin1Char('(') + p + QLatin1Char(')');
        PostgresResult::exec(connection,
                             nested ? QStringLiteral("SAVEPOINT probe") : QStringLiteral("BEGIN READ ONLY"));
        try {
            const PostgresResult r = PostgresResult::exec(connection, QStringLiteral("SELECT ") +
                                                                          columns.join(QStringLiteral(", ")));
            PostgresResult::exec(connection, QString::fromLatin1(undo));
            QVector<bool> out;
            for (int i = 0; i < some.size(); ++i)
                out << (r.text(0, i) == QLatin1String("t"));
            return out;
        } catch (const DbError &) {
            PQclear(PQexec(connection, undo));
            throw;
        }
    };
    if (probes.isEmpty()) return {};
    try {
        return run(probes);
    } catch (const DbError &) {
        // One of them cannot run: each on its own tells which.
        QVector<bool> out;
        for (const QString &p : probes) {
            try {
                out << run({p}).first();
            } catch (const DbError &) {
                out << false;
            }
        }
        return out;
    }
}

} // namespace

QString PostgresSchema::createTableStatement(const TableInfo &table) {
    QStringList defs;
    for (const ColumnInfo &c : table.columns)
        defs << QStringLiteral("  ") + columnDefinition(c);
    return QStringLiteral("CREATE TABLE %1 (\n%2\n)").arg(table.name, defs.join(QStringLiteral(",\n")));
}

QString PostgresSchema::addColumnStatement(const ColumnInfo &column) {
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(column.table, columnDefinition(column));
}

QStringList PostgresSchema::createStatements() {
    // Letter case and width are tertiary differences under ICU: strength 2 ignores them.
    QStringList out{QStringLiteral(
        "CREATE COLLATION ktext (provider = icu, locale = 'und-u-ks-level2', deterministic = false)")};
    for (const TableInfo &t : Schema::tables(1))
        out << createTableStatement(t);
    // Unique under ktext, and ignoring trailing spaces of either width: sign-in could not tell
    // such account names apart.
    out << QStringLiteral("CREATE UNIQUE INDEX customer_number ON customer ((rtrim(cus_number::text, U&' "
                          "\\3000') COLLATE ktext))");
    out << QStringLiteral("CREATE INDEX ordern_date ON ordern (ord_date, ord_mer)");
    out << QStringLiteral("CREATE INDEX menu_merchant_type ON menu (men_merchant, men_type)");
    return out;
}

void PostgresSchema::create(PGconn *connection) {
    const PostgresResult found = PostgresResult::exec(
        connection,
        QStringLiteral(
            "SELECT count(*) FROM pg_class WHERE relnamespace = current_schema()::text::regnamespace"));
    if (found.text(0, 0) != QLatin1String("0"))
        throw DbError(QStringLiteral("The database is not empty; it is left as it is."));
    for (const QString &s : createStatements())
        PostgresResult::exec(connection, s);
}

int PostgresSchema::recordedVersion(PGconn *connection) {
    if (PostgresResult::exec(connection, QStringLiteral("SELECT to_regclass('kelvaro_schema') IS NULL"))
            .text(0, 0) == QLatin1String("t"))
        return 1;
    const PostgresResult r = PostgresResult::exec(
        connection, QStringLiteral("SELECT coalesce(max(version), 1) FROM kelvaro_schema"));
    return std::max(1, r.text(0, 0).toInt());
}

void PostgresSchema::recordVersion(PGconn *connection, int version) {
    if (PostgresResult::exec(connection, QStringLiteral("SELECT to_regclass('kelvaro_schema') IS NULL"))
            .text(0, 0) == QLatin1String("t"))
        PostgresResult::exec(connection,
                             QStringLiteral("CREATE TABLE kelvaro_schema (version integer NOT NULL "
                                            "CONSTRAINT version_positive CHECK (version > 0))"));
    PostgresResult::exec(connection, QStringLiteral("DELETE FROM kelvaro_schema"));
    PostgresResult::exec(connection,
                         QStringLiteral("INSERT INTO kelvaro_schema (version) VALUES (%1)").arg(version));
}

QStringList PostgresSchema::verify(PGconn *connection, PostgresCatalog *catalog, int version) {
    QStringList problems;
    PostgresResult columns, checks, unique;
    const QVector<TableInfo> tables = Schema::tables(version);
    QStringList regclasses;
    for (const TableInfo &t : tables)
        regclasses << QStringLiteral("to_regclass('%1')").arg(t.name);
    const QString ours = regclasses.join(QStringLiteral(", "));
    try {
        columns = PostgresResult::exec(
            connection,
            QStringLiteral(
                "SELECT c.oid, c.relname, a.attnum, a.attname, format_type(a.atttypid, a.atttypmod), "
                "a.attidentity, coalesce(co.collname, ''), coalesce(co.collisdeterministic, true) "
                "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
                "LEFT JOIN pg_collation co ON co.oid = a.attcollation "
                "WHERE c.oid IN (%1) "
                "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY c.relname, a.attnum")
                .arg(ours));
        checks = PostgresResult::exec(
            connection, QStringLiteral("SELECT conname, pg_get_expr(conbin, conrelid) FROM pg_constraint "
                                       "WHERE contype = 'c' AND conrelid IN (%1)")
                            .arg(ours));
        // The account rule's index: unique for every row, on one key, with that key's collation.
        unique = PostgresResult::exec(
            connection,
            QStringLiteral(
                "SELECT pg_get_indexdef(i.indexrelid, 1, true), coalesce(quote_ident(co.collname), '') "
                "FROM pg_index i LEFT JOIN pg_collation co ON co.oid = i.indcollation[0] "
                "WHERE i.indrelid = to_regclass('customer') AND i.indisunique "
                "AND i.indpred IS NULL AND i.indnkeyatts = 1 "
                "AND i.indexrelid = to_regclass('customer_number')"));
    } catch (const DbError &e) {
        return {e.message()};
    }
    // Each found CHECK of ours with the select that tries it, run together at the end.
    QVector<QPair<const ColumnInfo *, QString>> probed;
    QHash<QString, QString> checkExpressions;
    for (int r = 0; r < PQntuples(checks.get()); ++r)
        checkExpressions.insert(checks.text(r, 0), checks.text(r, 1));

    for (const TableInfo &t : tables) {
        QStringList names;
        for (int r = 0; r < PQntuples(columns.get()); ++r) {
            if (columns.text(r, 1) != t.name) continue;
            const unsigned int oid = columns.text(r, 0).toUInt();
            const int number = columns.text(r, 2).toInt();
            const QString name = columns.text(r, 3);
            catalog->tables.insert(oid, t.name);
            catalog->columns.insert((quint64(oid) << 16) | quint64(quint16(number)), name);
            names << name;
            const ColumnInfo *c = Schema::column(t.name, name);
            if (!c) continue;
            const QString type = columns.text(r, 4);
            if (type != expectedType(*c))
                problems << QStringLiteral("Column '%1' of table '%2' is %3, expected %4.")
                                .arg(c->name, t.name, type, expectedType(*c));
            if (c->kind == ColumnKind::Key && columns.text(r, 5) != QLatin1String("a"))
                problems
                    << QStringLiteral("Column '%1' is not an identity key generated always.").arg(c->name);
            if (c->kind == ColumnKind::Text &&
                (columns.text(r, 6) != QLatin1String("ktext") || columns.text(r, 7) != QLatin1String("f")))
                problems << QStringLiteral("Column '%1' does not compare text with the collation ktext.")
                                .arg(c->name);
            const QString check = checkName(*c);
            if (check.isEmpty()) continue;
            if (!checkExpressions.contains(check))
                problems << (c->kind == ColumnKind::Text ? QStringLiteral("Column '%1' has no size check %2.")
                                                         : QStringLiteral("Column '%1' has no check %2."))
                                .arg(c->name, check);
            else
                probed.append({c, checkProbe(*c, checkExpressions.value(check))});
        }
        if (names.isEmpty()) {
            problems << QStringLiteral("Table '%1' is missing.").arg(t.name);
            continue;
        }
        for (const ColumnInfo &c : t.columns)
            if (!names.contains(c.name))
                problems << QStringLiteral("Table '%1' has no column '%2'.").arg(t.name, c.name);
        if (t.name == QLatin1String("customer")) {
            QStringList wanted;
            for (const ColumnInfo &c : t.columns)
                wanted << c.name;
            if (names.mid(0, wanted.size()) != wanted)
                problems << QStringLiteral("The columns of table 'customer' are not in the order %1.")
                                .arg(wanted.join(QStringLiteral(", ")));
        }
    }
    if (catalog->tables.isEmpty()) return problems;
    QStringList probes;
    for (const auto &p : std::as_const(probed))
        probes << p.second;
    probes << collationProbe();
    const bool indexFound = PQntuples(unique.get()) == 1;
    if (indexFound) probes << accountRuleProbe(unique.text(0, 0), unique.text(0, 1));
    const QVector<bool> held = probesHold(connection, probes);
    for (qsizetype i = 0; i < probed.size(); ++i) {
        const ColumnInfo &c = *probed[i].first;
        if (!held[i])
            problems << QStringLiteral("Check %1 does not hold column '%2' to %3.")
                            .arg(checkName(c), c.name, checkRule(c));
    }
    if (!held[probed.size()])
        problems << QStringLiteral(
            "The collation ktext does not compare texts ignoring only letter case and width.");
    if (!indexFound || !held.last())
        problems << QStringLiteral(
            "Account names (customer.cus_number) are not unique as sign-in compares them.");
    return problems;
}
