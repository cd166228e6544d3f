#include "Schema.h"

#include "DbError.h"
#include "Engine.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <algorithm>
#include <sqlite3.h>

namespace {

ColumnInfo col(const char *table, const char *name, ColumnKind kind, int size = 0, int since = 1) {
    return {QString::fromLatin1(table), QString::fromLatin1(name), kind, size, since};
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

// length() and GLOB read a text only up to its first NUL character, so a NUL would hide the
// rest of a text from the checks: texts that hold one are refused outright, and length() then
// counts every character.
QString nulRefusal(const QString &column) {
    return QStringLiteral("instr(%1, char(0)) = 0").arg(column);
}

QString columnDefinition(const ColumnInfo &c) {
    const QString n = c.name;
    switch (c.kind) {
    case ColumnKind::Key:
        return n + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::Integer:
        return n + QStringLiteral(" INTEGER");
    case ColumnKind::Text:
        return QStringLiteral("%1 TEXT COLLATE NOCASE CONSTRAINT %1_len CHECK(length(%1) <= %2 AND %3)")
            .arg(n)
            .arg(c.size)
            .arg(nulRefusal(n));
    case ColumnKind::Date:
        // ISO text of a real day: date() with a modifier normalises impossible days (02-30 -> 03-02).
        return QStringLiteral("%1 TEXT CONSTRAINT %1_iso CHECK(%1 IS NULL OR (%1 GLOB "
                              "'[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(%1, '+0 days') = %1))")
            .arg(n);
    case ColumnKind::Time:
        return QStringLiteral("%1 TEXT CONSTRAINT %1_iso CHECK(%1 IS NULL OR (%1 GLOB "
                              "'[0-2][0-9]:[0-5][0-9]' AND %1 <= '23:59' AND %2))")
            .arg(n, nulRefusal(n));
    }
    return n;
}

} // namespace

const QVector<TableInfo> &Schema::tables() {
    static const QVector<TableInfo> t = makeTables();
    return t;
}

QVector<TableInfo> Schema::tables(int version) {
    QVector<TableInfo> out;
    for (const TableInfo &t : tables()) {
        if (t.since > version) continue;
        TableInfo kept{t.name, {}, t.since};
        for (const ColumnInfo &c : t.columns)
            if (c.since <= version) kept.columns << c;
        out << kept;
    }
    return out;
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

QString Schema::keyColumn(const QString &table) {
    const TableInfo *t = Schema::table(table);
    if (!t) throw DbError(QStringLiteral("Table '%1' is not one of this program's tables.").arg(table));
    return t->columns.first().name;
}

QString Schema::createTableStatement(const TableInfo &table) {
    QStringList defs;
    for (const ColumnInfo &c : table.columns)
        defs << QStringLiteral("  ") + columnDefinition(c);
    return QStringLiteral("CREATE TABLE %1 (\n%2\n) STRICT")
        .arg(table.name, defs.join(QStringLiteral(",\n")));
}

QString Schema::addColumnStatement(const ColumnInfo &column) {
    return QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(column.table, columnDefinition(column));
}

QStringList Schema::createStatements() {
    QStringList out;
    for (const TableInfo &t : tables(1))
        out << createTableStatement(t);
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

//! The rows of `sql` with its one parameter bound to `table`, every column as text. The engine's
//! failures (a lock, a damaged page, a file that is no database) are not problems of the schema:
//! they are thrown as DbError with the engine's own code.
QList<QStringList> rowsFor(sqlite3 *handle, const char *sql, const QString &table) {
    QList<QStringList> rows;
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)));
            rows << row;
        }
    }
    if (rc != SQLITE_DONE) {
        const DbError e(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle));
        sqlite3_finalize(st);
        throw e;
    }
    sqlite3_finalize(st);
    return rows;
}

} // namespace

QStringList Schema::verify(sqlite3 *handle, int version) {
    QStringList problems;
    for (const TableInfo &t : tables(version)) {
        QStringList names, types;
        for (const QStringList &row :
             rowsFor(handle, "SELECT name, type FROM pragma_table_info(?1)", t.name)) {
            names << row[0];
            types << row[1];
        }
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
    return problems;
}

int Schema::recordedVersion(sqlite3 *handle) {
    // Release 1.0.6 left the header's user version at 0.
    const QList<QStringList> rows =
        rowsFor(handle, "SELECT user_version FROM pragma_user_version", QString());
    return std::max(1, rows.isEmpty() ? 0 : rows.first().value(0).toInt());
}

void Schema::recordVersion(sqlite3 *handle, int version) {
    const QByteArray sql = QByteArray("PRAGMA user_version = ") + QByteArray::number(version);
    if (sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle));
}

QStringList Schema::checksBlindToNul(sqlite3 *handle) {
    QStringList blind;
    // Only the first version's files were ever made without the NUL refusal.
    for (const TableInfo &t : tables(1)) {
        const QList<QStringList> rows =
            rowsFor(handle, "SELECT sql FROM sqlite_schema WHERE type = 'table' AND name = ?1", t.name);
        const QString sql = rows.isEmpty() ? QString() : rows.first().value(0);
        for (const ColumnInfo &c : t.columns)
            if ((c.kind == ColumnKind::Text || c.kind == ColumnKind::Time) &&
                !sql.contains(nulRefusal(c.name), Qt::CaseInsensitive))
                blind << c.name;
    }
    return blind;
}

void Schema::createDatabase(const QString &path) {
    Engine::createDatabase(path);
}

void Schema::createFirstVersion(const QString &path) {
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
