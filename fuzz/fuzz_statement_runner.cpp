// The program's statement shapes, with fuzzed values bound (as they are, or converted for their
// column) and fuzzed fragments in the text (date literals, quotes, conditions), run on one
// connection to a temporary database. Properties: every failure is a DbError; a refused write
// stores nothing; what an insert stored reads back as the converted value; no transaction is
// left open; the engine's text equality agrees with TextCollation on stored rows; the file
// stays sound.
#include "Connection.h"
#include "DbError.h"
#include "FuzzInput.h"
#include "Schema.h"
#include "TextCollation.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    Connection connection;
    long long steps = 0;
    unsigned runs = 0;

    Fixture() {
        const QString path = dir.filePath(QStringLiteral("kelvaro.mdb"));
        Schema::createDatabase(path);
        connection.setDatabaseFile(path);
        connection.setBusyTimeoutMs(100);
        connection.open();
        // Speed only: the file is thrown away.
        sqlite3_exec(connection.handle(), "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
        // A fuzzed join or recursion must not run for minutes: interrupt it (it then fails as
        // any statement may).
        sqlite3_progress_handler(
            connection.handle(), 1000,
            [](void *self) { return ++static_cast<Fixture *>(self)->steps > 2000 ? 1 : 0; }, this);
    }
};

Fixture &fixture() {
    static Fixture f; // removes its folder when the run ends
    return f;
}

qint64 count(Connection &c, const QString &table) {
    Statement st;
    st.add(QStringLiteral("select count(*) from ") + table);
    return c.select(st).value(0, 0).toLongLong();
}

//! A piece of statement text: a word of the dialect or raw characters.
QString fragment(FuzzedDataProvider &in) {
    static const char *const words[] = {"#",           "'",        "\"",         "#2026/12/09#",
                                        "#12/9/2026#", "ord_date", "ord_note",   "=",
                                        " ",           "or",       "and",        "COLLATE KTEXT",
                                        "1",           "?",        "ord_id > 0", "not",
                                        "(",           ")",        "null",       "'#'",
                                        "\"#\"",       "--",       "/*",         "*/",
                                        "\r\n",        "like",     "between",    "Sum(ord_pric)",
                                        "men_name",    ",",        "''",         "#2026/0012/09#"};
    QString s;
    const int pieces = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < pieces; ++i)
        s += in.ConsumeBool()
                 ? QString::fromLatin1(words[in.ConsumeIntegralInRange<size_t>(0, std::size(words) - 1)])
                 : consumeText(in, 8);
    return s;
}

QVariant value(FuzzedDataProvider &in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return QVariant(in.ConsumeIntegral<qint64>());
    case 1:
        return QVariant();
    case 2:
        return QVariant(QString::number(in.ConsumeIntegralInRange(-5, 100)));
    default:
        return QVariant(consumeText(in, 24));
    }
}

void checkInsertReadsBack(Connection &c, const QString &table, const QStringList &columns,
                          const QVector<QVariant> &values) {
    Statement back;
    back.add(
        QStringLiteral("select %1 from %2 where rowid = ?").arg(columns.join(QStringLiteral(", ")), table));
    back.bind(c.lastInsertId());
    const ResultSet rs = c.select(back);
    require(rs.rowCount() == 1, "the inserted row is there");
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant want = c.convertFor(columns[i], values[i]);
        const QVariant got = rs.value(0, i);
        require(want.isNull() == got.isNull() && (want.isNull() || want.toString() == got.toString()),
                "stored as converted",
                columns[i] + QStringLiteral(": ") + want.toString() + QStringLiteral(" / ") + got.toString());
    }
}

//! An insert with every value converted for its column, as the pages store rows.
void insertRow(Connection &c, FuzzedDataProvider &in, const QString &table, const QStringList &columns) {
    Statement st;
    st.add(QStringLiteral("INSERT INTO %1 (%2)").arg(table, columns.join(QStringLiteral(", "))));
    st.add(QStringLiteral("VALUES (") +
           QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + QLatin1Char(')'));
    QVector<QVariant> values;
    for (const QString &column : columns) {
        values.append(value(in));
        st.bindFor(column, values.last());
    }
    const qint64 before = count(c, table);
    try {
        require(c.execute(st) == 1, "one row inserted");
    } catch (const DbError &) {
        require(count(c, table) == before, "a refused insert stores nothing");
        throw;
    }
    checkInsertReadsBack(c, table, columns, values);
}

void run(Connection &c, FuzzedDataProvider &in) {
    Statement st;
    switch (in.ConsumeIntegralInRange(0, 8)) {
    case 0: { // sign-in: every row found equals the typed account
        const QString account = consumeText(in, 12);
        st.add(QStringLiteral("Select * From customer Where "));
        st.add(QStringLiteral("cus_number = ? COLLATE KTEXT "));
        st.bind(account);
        st.add(QStringLiteral("and cus_password = ? COLLATE KTEXT "));
        st.bind(consumeText(in, 12));
        const ResultSet rs = c.select(st);
        if (account.isValidUtf16())
            for (int r = 0; r < rs.rowCount(); ++r)
                require(TextCollation::equal(rs.value(r, 1).toString(), account), "sign-in equality",
                        account);
        return;
    }
    case 1: { // the shop list: no two entries are equal texts
        st.add(QStringLiteral("Select men_merchant From menu "));
        st.add(QStringLiteral("Group By men_merchant COLLATE KTEXT "));
        const ResultSet rs = c.select(st);
        for (int r = 1; r < rs.rowCount() && r < 100; ++r)
            for (int q = 0; q < r; ++q)
                require(rs.isNull(r, 0) || rs.isNull(q, 0) || // a shop never named groups apart
                            !TextCollation::equal(rs.value(r, 0).toString(), rs.value(q, 0).toString()),
                        "shop list groups", rs.value(r, 0).toString());
        return;
    }
    case 2: // a day's listing and total, the date literal fuzzed
        st.add(QStringLiteral("select * from ordern where ord_date = #") + fragment(in) + QLatin1Char('#'));
        st.add(in.ConsumeBool() ? QStringLiteral("ORDER BY ord_mer") : fragment(in));
        c.selectKeyed(st);
        return;
    case 3:
        st.add(QStringLiteral("Select Sum(ord_pric) From ordern Where ord_date = #") + fragment(in) +
               QLatin1Char('#'));
        require(c.select(st).rowCount() == 1, "a sum is one row");
        return;
    case 4:
        insertRow(c, in, QStringLiteral("ordern"),
                  {QStringLiteral("ord_name"), QStringLiteral("ord_cap"), QStringLiteral("ord_pric"),
                   QStringLiteral("ord_mer"), QStringLiteral("ord_note"), QStringLiteral("ord_cusomter"),
                   QStringLiteral("ord_date"), QStringLiteral("ord_time")});
        return;
    case 5:
        insertRow(c, in, QStringLiteral("menu"),
                  {QStringLiteral("men_merchant"), QStringLiteral("men_type"), QStringLiteral("men_name"),
                   QStringLiteral("men_cap"), QStringLiteral("men_price")});
        return;
    case 6:
        insertRow(c, in, QStringLiteral("customer"),
                  {QStringLiteral("cus_number"), QStringLiteral("cus_name"), QStringLiteral("cus_password"),
                   QStringLiteral("cus_group"), QStringLiteral("cus_leve")});
        return;
    case 7: // fragments anywhere in a select's condition
        st.add(QStringLiteral("select ") + (in.ConsumeBool() ? QStringLiteral("*") : fragment(in)));
        st.add(QStringLiteral("from ordern where ") + fragment(in));
        for (int i = in.ConsumeIntegralInRange(0, 2); i > 0; --i)
            st.bind(value(in));
        c.selectKeyed(st);
        return;
    default: { // a write with a fuzzed condition
        const bool update = in.ConsumeBool();
        st.add(update ? QStringLiteral("update ordern set ord_note = ? where ")
                      : QStringLiteral("delete from ordern where "));
        if (update) st.bindFor(QStringLiteral("ord_note"), value(in));
        st.add(fragment(in));
        c.execute(st);
        return;
    }
    }
}

//! The engine's KTEXT on two bound texts agrees with TextCollation's order.
void checkEngineEquality(Connection &c, const QString &a, const QString &b) {
    if (!a.isValidUtf16() || !b.isValidUtf16()) return; // refused before any column sees them
    Statement st;
    st.add(QStringLiteral("select ? = ? COLLATE KTEXT, ? < ? COLLATE KTEXT"));
    for (const QString &s : {a, b, a, b})
        st.bind(s);
    const ResultSet rs = c.select(st);
    const int order = TextCollation::compare(a, b);
    require((rs.value(0, 0).toLongLong() == 1) == (order == 0), "engine equality",
            a + QStringLiteral(" | ") + b);
    require((rs.value(0, 1).toLongLong() == 1) == (order < 0), "engine order", a + QStringLiteral(" | ") + b);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    new QCoreApplication(*argc, *argv); // the SQL driver plug-in wants one
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Fixture &f = fixture();
    Connection &c = f.connection;
    FuzzedDataProvider in(data, size);
    c.setLocaleFormats(consumeFormats(in));
    f.steps = 0;
    try {
        run(c, in);
    } catch (const DbError &e) {
        require(!e.message().isEmpty(), "a refusal says why");
    }
    require(sqlite3_get_autocommit(c.handle()) != 0, "no transaction left open");
    f.steps = 0;
    checkEngineEquality(c, consumeText(in, 12), consumeText(in, 12));

    if (++f.runs % 512 == 0) {
        const QStringList tables = {QStringLiteral("ordern"), QStringLiteral("menu"),
                                    QStringLiteral("customer")};
        Statement check;
        check.add(QStringLiteral("pragma quick_check"));
        require(c.select(check).value(0, 0).toString() == QStringLiteral("ok"), "the file stays sound");
        if (count(c, tables[0]) + count(c, tables[1]) + count(c, tables[2]) > 600) {
            for (const QString &table : tables) {
                Statement clear;
                clear.add(QStringLiteral("delete from ") + table);
                c.execute(clear);
            }
        }
    }
    return 0;
}
