#include "Schema.h"

#include "DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <sqlite3.h>

namespace {

ColumnInfo col(const char *table, const char *name, ColumnKind kind, int size = 0) {
    return {QString::fromLatin1(table), QString::fromLatin1(name), kind, size};
}

QVector<TableInfo> makeTables() {
    using K = ColumnKind;
    // customer's column order is fixed: sign-in reads `select *` by position.
    TableInfo customer{QStringLiteral("customer"),
                       {col("customer", "cus_id", K::Key), col("customer", "cus_number", K::Text, 20),
                        col("customer", "cus_name", K::Text, 8), col("customer", "cus_password", K::Text, 20),
                        col("customer", "cus_group", K::Text, 20), col("customer", "cus_leve", K::Integer)}};
    TableInfo menu{QStringLiteral("menu"),
                   {col("menu", "men_id", K::Key), col("menu", "men_merchant", K::Text, 30),
                    col("menu", "men_type", K::Text, 30), col("menu", "men_name", K::Text, 30),
                    col("menu", "men_cap", K::Text, 50), col("menu", "men_price", K::Integer)}};
    TableInfo ordern{QStringLiteral("ordern"),
                     {col("ordern", "ord_id", K::Key), col("ordern", "ord_name", K::Text, 30),
                      col("ordern", "ord_cap", K::Text, 10), col("ordern", "ord_pric", K::Integer),
                      col("ordern", "ord_mer", K::Text, 30), col("ordern", "ord_note", K::Text, 20),
                      col("ordern", "ord_cusomter", K::Text, 20), col("ordern", "ord_date", K::Date),
                      col("ordern", "ord_time", K::Time)}};
    return {customer, menu, ordern};
}

QString columnDefinition(const ColumnInfo &c) {
    const QString n = c.name;
    switch (c.kind) {
    case ColumnKind::Key:
        return n + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::Integer:
        return n + QStringLiteral(" INTEGER");
    case ColumnKind::Text:
        return QStringLiteral("%1 TEXT COLLATE NOCASE CONSTRAINT %1_len CHECK(length(%1) <= %2)")
            .arg(n)
            .arg(c.size);
    case ColumnKind::Date:
        // ISO text of a real day: date() with a modifier normalises impossible days (02-30 -> 03-02).
        return QStringLiteral("%1 TEXT CONSTRAINT %1_iso CHECK(%1 IS NULL OR (%1 GLOB "
                              "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(%1, '+0 days') = %1))")
            .arg(n);
    case ColumnKind::Time:
        return QStringLiteral("%1 TEXT CONSTRAINT %1_iso CHECK(%1 IS NULL OR (%1 GLOB "
                              "'[0-2][0-9]:[0-5][0-9]' AND %1 <= '23:59'))")
            .arg(n);
    }
    return n;
}

} // namespace

const QVector<TableInfo> &Schema::tables() {
    static const QVector<TableInfo> t = makeTables();
    return t;
}

const ColumnInfo *Schema::column(const QString &name) {
    static const QHash<QString, const ColumnInfo *> byName = [] {
        QHash<QString, const ColumnInfo *> h;
        for (const TableInfo &t : tables())
            for (const ColumnInfo &c : t.columns)
                h.insert(c.name, &c);
        return h;
    }();
    return byName.value(name.trimmed().toLower(), nullptr);
}

const ColumnInfo *Schema::column(const QString &table, const QString &name) {
    const ColumnInfo *c = column(name);
    return c && c->table.compare(table, Qt::CaseInsensitive) == 0 ? c : nullptr;
}

const TableInfo *Schema::table(const QString &name) {
    for (const TableInfo &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QStringList Schema::createStatements() {
    QStringList out;
    for (const TableInfo &t : tables()) {
        QStringList defs;
        for (const ColumnInfo &c : t.columns)
            defs << QStringLiteral("  ") + columnDefinition(c);
        out << QStringLiteral("CREATE TABLE %1 (\n%2\n) STRICT")
                   .arg(t.name, defs.join(QStringLiteral(",\n")));
    }
    // Account names are unique (ignoring ASCII case) for every tool that writes the file; our
    // connections add the whole of sign-in's equality (AccountNameRule).
    out << QStringLiteral("CREATE UNIQUE INDEX customer_number ON customer(cus_number COLLATE NOCASE)");
    // A day's lines by date, already in shop order for the summary's ORDER BY ord_mer.
    out << QStringLiteral("CREATE INDEX ordern_date ON ordern(ord_date, ord_mer)");
    out << QStringLiteral("CREATE INDEX menu_merchant_type ON menu(men_merchant, men_type)");
    return out;
}

namespace {

QString declaredType(const ColumnInfo &c) {
    return c.kind == ColumnKind::Key || c.kind == ColumnKind::Integer ? QStringLiteral("INTEGER")
                                                                      : QStringLiteral("TEXT");
}

} // namespace

QStringList Schema::verify(sqlite3 *handle) {
    QStringList problems;
    sqlite3_stmt *st = nullptr;
    // The engine's failures (a lock, a damaged page, a file that is no database) are not
    // problems of the schema: they are thrown with the engine's own code.
    auto engineFailure = [&] {
        DbError e(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle));
        sqlite3_finalize(st);
        return e;
    };
    const char *sql = "SELECT name, type FROM pragma_table_info(?1)";
    if (sqlite3_prepare_v2(handle, sql, -1, &st, nullptr) != SQLITE_OK) throw engineFailure();
    for (const TableInfo &t : tables()) {
        sqlite3_reset(st);
        const QByteArray name = t.name.toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
        QStringList names, types;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            types << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
        }
        if (rc != SQLITE_DONE) throw engineFailure();
        if (names.isEmpty()) {
            problems << QStringLiteral("Table '%1' is missing.").arg(t.name);
            continue;
        }
        for (const ColumnInfo &c : t.columns) {
            int found = -1;
            for (int i = 0; i < names.size(); ++i)
                if (names[i].compare(c.name, Qt::CaseInsensitive) == 0) found = i;
            if (found < 0) {
                problems << QStringLiteral("Table '%1' has no column '%2'.").arg(t.name, c.name);
                continue;
            }
            if (types[found].compare(declaredType(c), Qt::CaseInsensitive) != 0)
                problems << QStringLiteral("Column '%1' of table '%2' is %3, expected %4.")
                                .arg(c.name, t.name, types[found], declaredType(c));
        }
        if (t.name == QLatin1String("customer") && problems.isEmpty()) {
            for (int i = 0; i < t.columns.size(); ++i)
                if (i >= names.size() || names[i].compare(t.columns[i].name, Qt::CaseInsensitive) != 0) {
                    problems << QStringLiteral("The columns of table 'customer' are not in the order %1.")
                                    .arg([&] {
                                        QStringList l;
                                        for (const ColumnInfo &c : t.columns)
                                            l << c.name;
                                        return l.join(QStringLiteral(", "));
                                    }());
                    break;
                }
        }
    }
    sqlite3_finalize(st);
    return problems;
}

void Schema::createDatabase(const QString &path) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Could not create '%1': the file already exists.").arg(path));
    sqlite3 *h = nullptr;
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    int rc = sqlite3_open_v2(uri.constData(), &h,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    auto fail = [&](const QString &what) {
        const QString msg = what.isEmpty() && h ? QString::fromUtf8(sqlite3_errmsg(h)) : what;
        const int code = h ? sqlite3_extended_errcode(h) : rc;
        sqlite3_close_v2(h);
        QFile::remove(path);
        throw DbError(msg, code);
    };
    if (rc != SQLITE_OK) fail(QString());
    QString script = QStringLiteral("PRAGMA journal_mode=DELETE;\nBEGIN IMMEDIATE;\n");
    for (const QString &s : createStatements())
        script += s + QStringLiteral(";\n");
    script += QStringLiteral("COMMIT;\n");
    char *err = nullptr;
    if (sqlite3_exec(h, script.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "");
        sqlite3_free(err);
        fail(msg);
    }
    sqlite3_close_v2(h);
}
