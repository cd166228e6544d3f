// The account and shop-list statements without widgets: sign-in's preparation of the typed
// texts, its look-up with the exactly-one-row rule, the account application stored exactly as
// typed, and the shop list as the engine groups it.
#include "AccountNameRule.h"
#include "AccountStatements.h"
#include "Dataset.h"
#include "DbError.h"
#include "EngineTestCase.h"
#include "ShopList.h"
#include "TestDatabase.h"
#include "TextCollation.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <climits>

using namespace AccountStatements;

class TestAccountStatements : public EngineTestCase {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void preparationOfTypedTexts();
    void lookUpStatementAndBoundValues();
    void lookUpFindsExactlyOneAccount_data();
    void lookUpFindsExactlyOneAccount();
    void storedLevels();
    void subvertingInputsFindNoOne_data();
    void subvertingInputsFindNoOne();
    void applicationStoredExactlyAsTyped();
    void applicationRefusedStoresNothing();
    void accountNamesSignInWouldConfuseAreRefused();
    void shopListGroupedAsTheEngineGroups();

private:
    void addCustomer(const QString &number, const QString &password, const QString &name,
                     const QVariant &level = 0);
    //! Adds an account as another tool would, outside the program's account name rule (files
    //! written before it, or by the sqlite3 shell). On the server the rule is the schema's own and
    //! holds for every writer: false when it refused the account.
    bool addCustomerFromOutside(const QString &number, const QString &password, const QString &name,
                                const QVariant &level);
    std::optional<SignedInAccount> find(const QString &account, const QString &password);
    QList<QVariantList> customers();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Dataset> m_get;
    std::unique_ptr<Dataset> m_set;
};

void TestAccountStatements::init() {
    m_db = std::make_unique<TestDatabase>(engine());
    m_get = std::make_unique<Dataset>(QStringLiteral("ADOQuery_GET"));
    m_get->setConnection(&m_db->connection());
    m_set = std::make_unique<Dataset>(QStringLiteral("ADOQuery_SET"));
    m_set->setConnection(&m_db->connection());
}

void TestAccountStatements::cleanup() {
    m_get.reset();
    m_set.reset();
    m_db.reset();
}

void TestAccountStatements::addCustomer(const QString &number, const QString &password, const QString &name,
                                        const QVariant &level) {
    m_db->exec(
        QStringLiteral("insert into customer (cus_number, cus_name, cus_password, cus_group, cus_leve) "
                       "values (?, ?, ?, '', ?)"),
        {number, name, password, level});
}

bool TestAccountStatements::addCustomerFromOutside(const QString &number, const QString &password,
                                                   const QString &name, const QVariant &level) {
    if (m_db->engine() == EngineKind::Postgres) {
        try {
            addCustomer(number, password, name, level);
        } catch (const DbError &e) {
            if (e.category() != DbError::Category::Duplicate) throw;
            return false;
        }
        return true;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outside"));
        db.setDatabaseName(m_db->path());
        if (!db.open()) qFatal("cannot open the file from outside");
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("insert into customer (cus_number, cus_name, cus_password, cus_group, "
                                      "cus_leve) values (?, ?, ?, '', ?)")))
            qFatal("cannot prepare the insert from outside");
        for (const QVariant &v : {QVariant(number), QVariant(name), QVariant(password), level})
            q.addBindValue(v);
        if (!q.exec()) qFatal("%s", qPrintable(q.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("outside"));
    return true;
}

std::optional<SignedInAccount> TestAccountStatements::find(const QString &account, const QString &password) {
    auto found = findAccount(*m_get, account, password);
    if (m_get->isActive()) qFatal("the look-up left its query open");
    return found;
}

QList<QVariantList> TestAccountStatements::customers() {
    Statement st;
    st.add(QStringLiteral(
        "select cus_number, cus_name, cus_password, cus_group, cus_leve from customer order by cus_id"));
    const ResultSet rs = m_db->connection().select(st);
    QList<QVariantList> out;
    for (int r = 0; r < rs.rowCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < 5; ++c)
            row << rs.value(r, c);
        out << row;
    }
    return out;
}

void TestAccountStatements::preparationOfTypedTexts() {
    QCOMPARE(prepared(QStringLiteral(" \t\r\n\x01 Ab C \x1f\x20")), QStringLiteral("ab c"));
    // Only ASCII capitals change; other letters and characters stay as typed.
    QCOMPARE(prepared(QStringLiteral("ÄÉ ＡＢ Ωz")), QStringLiteral("ÄÉ ＡＢ Ωz"));
    QCOMPARE(prepared(QStringLiteral("XYZ@[`{")), QStringLiteral("xyz@[`{"));
    // Characters above 32 are not trimmed, whatever their kind of space.
    QCOMPARE(prepared(QStringLiteral("\u00a0a\u3000")), QStringLiteral("\u00a0a\u3000"));
    QCOMPARE(prepared(QStringLiteral("\x7f")), QStringLiteral("\x7f"));
    QCOMPARE(prepared(QStringLiteral("  ")), QString());
}

void TestAccountStatements::lookUpStatementAndBoundValues() {
    addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"));
    QVERIFY(!find(QStringLiteral(" AMY "), QStringLiteral("Wrong")));
    // The typed texts went to the engine prepared and bound, never pasted into the text.
    const Statement &statement = m_get->statement();
    QCOMPARE(statement.lines(), (QStringList{QStringLiteral("Select * From customer Where "),
                                             QStringLiteral("cus_number = ? COLLATE KTEXT "),
                                             QStringLiteral("and cus_password = ? COLLATE KTEXT ")}));
    QVERIFY(!statement.text().contains(QStringLiteral("amy"), Qt::CaseInsensitive));
    QCOMPARE(statement.params().size(), 2);
    QCOMPARE(statement.params().at(0).value.toString(), QStringLiteral("amy"));
    QCOMPARE(statement.params().at(1).value.toString(), QStringLiteral("wrong"));
    // The same query runs again at once: the failed look-up left nothing behind.
    QCOMPARE(find(QStringLiteral("amy"), QStringLiteral("pw")).value().name, QStringLiteral("艾米"));
}

void TestAccountStatements::lookUpFindsExactlyOneAccount_data() {
    QTest::addColumn<QStringList>("stored"); // account, password, name; repeated per row
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("found"); // the name found; "-" for nobody
    const auto rows = [](std::initializer_list<const char *> texts) {
        QStringList out;
        for (const char *t : texts)
            out << QString::fromUtf8(t);
        return out;
    };
    QTest::newRow("inner spaces stay") << rows({"amy lee", "pw", "艾米"}) << "amylee"
                                       << "pw"
                                       << "-";
    QTest::newRow("surrounding spaces and controls trimmed")
        << rows({"amy lee", "pw", "艾米"}) << "\t amy lee \x01"
        << "  pw   "
        << "艾米";
    QTest::newRow("typed capitals, stored capitals") << rows({"Amy", "PassWord", "艾米"}) << "AMY"
                                                     << "PASSWORD"
                                                     << "艾米";
    QTest::newRow("full-width letters") << rows({"amy", "pw", "艾米"}) << "ＡＭＹ"
                                        << "pw"
                                        << "艾米";
    QTest::newRow("Chinese password, part of it") << rows({"amy", "綠茶ab", "艾米"}) << "amy"
                                                  << "綠茶"
                                                  << "-";
    QTest::newRow("Chinese password, other characters") << rows({"amy", "綠茶ab", "艾米"}) << "amy"
                                                        << "紅茶AB"
                                                        << "-";
    QTest::newRow("Chinese password, character for character") << rows({"amy", "綠茶ab", "艾米"}) << "amy"
                                                               << "綠茶AB"
                                                               << "艾米";
    QTest::newRow("empty fields, no empty account") << rows({"amy", "pw", "艾米", "bob", "", "鮑伯"}) << ""
                                                    << ""
                                                    << "-";
    QTest::newRow("empty fields, empty account") << rows({"", "", "無名"}) << "   "
                                                 << ""
                                                 << "無名";
    QTest::newRow("two rows equal as compared")
        << rows({"amy", "pw", "艾米", "ａｍｙ", "pw", "冒名"}) << "amy"
        << "pw"
        << "-";
    QTest::newRow("empty name") << rows({"amy", "pw", ""}) << "amy"
                                << "pw"
                                << "";
    QTest::newRow("percent is no wildcard")
        << rows({"a\"b'c\\d%e", "p'\"\\%_", "怪名", "abcde", "pw", "正常"}) << "a\"b'c\\d%"
        << "p'\"\\%_"
        << "-";
    QTest::newRow("percent alone") << rows({"a\"b'c\\d%e", "p'\"\\%_", "怪名"}) << "%"
                                   << "%"
                                   << "-";
    QTest::newRow("quotes and backslashes as typed")
        << rows({"a\"b'c\\d%e", "p'\"\\%_", "怪名", "abcde", "pw", "正常"}) << "a\"b'c\\d%e"
        << "p'\"\\%_"
        << "怪名";
}

void TestAccountStatements::lookUpFindsExactlyOneAccount() {
    QFETCH(QStringList, stored);
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QString, found);
    bool refused = false;
    for (int i = 0; i + 2 < stored.size(); i += 3)
        refused |= !addCustomerFromOutside(stored.at(i), stored.at(i + 1), stored.at(i + 2), 3);
    const auto result = find(account, password);
    if (refused) {
        // The server's unique rule kept the second account out: the first one signs in.
        QCOMPARE(m_db->engine(), EngineKind::Postgres);
        QVERIFY(result);
        QCOMPARE(result->name, stored.at(2));
    } else if (found == QLatin1String("-")) {
        QVERIFY(!result);
    } else {
        QVERIFY(result);
        QCOMPARE(result->name, found);
        QCOMPARE(result->level, 3);
    }
}

void TestAccountStatements::storedLevels() {
    const QList<QPair<QVariant, int>> levels = {
        {QVariant(0), 0},
        {QVariant(1), 1},
        {QVariant(3), 3},
        {QVariant(), 0},
        // A level beyond the integer range must not wrap round to a manager's level.
        {QVariant(qint64(0x100000003)), INT_MAX}};
    int n = 0;
    for (const auto &[stored, level] : levels) {
        const QString account = QStringLiteral("u%1").arg(++n);
        if (m_db->engine() == EngineKind::Postgres && stored.toLongLong() > INT_MAX) {
            // The server's integer column holds no such level: it is refused, not wrapped.
            try {
                addCustomer(account, QStringLiteral("pw"), account, stored);
                QFAIL("a level beyond the integer range was stored");
            } catch (const DbError &e) {
                QCOMPARE(e.category(), DbError::Category::BadValue);
            }
            continue;
        }
        addCustomer(account, QStringLiteral("pw"), account, stored);
        QCOMPARE(find(account, QStringLiteral("pw")).value().level, level);
    }
}

void TestAccountStatements::subvertingInputsFindNoOne_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::newRow("double quote or") << QStringLiteral("\" or \"\"=\"") << QStringLiteral("\" or \"\"=\"");
    QTest::newRow("single quote or") << QStringLiteral("' or '1'='1") << QStringLiteral("' or '1'='1");
    QTest::newRow("comment") << QStringLiteral("admin\" --") << QStringLiteral("x");
    QTest::newRow("x comment") << QStringLiteral("x\" --") << QStringLiteral("x\" --");
    QTest::newRow("stacked") << QStringLiteral("admin\"; delete from customer; --") << QStringLiteral("x");
    QTest::newRow("union") << QStringLiteral("x\" union select 1,'a','Boss','p','g',3 --")
                           << QStringLiteral("p");
    // No stored text holds a NUL, so a typed text with one equals none, whatever follows it.
    QTest::newRow("NUL ends the account")
        << QStringLiteral("admin") + QChar(0) + QStringLiteral("x") << QStringLiteral("secret");
    QTest::newRow("NUL ends the password")
        << QStringLiteral("amy") << QStringLiteral("pw") + QChar(0) + QStringLiteral("\" or \"\"=\"");
    QTest::newRow("NUL alone") << QString(QChar(0)) << QString(QChar(0));
}

void TestAccountStatements::subvertingInputsFindNoOne() {
    QFETCH(QString, account);
    QFETCH(QString, password);
    addCustomer(QStringLiteral("admin"), QStringLiteral("secret"), QStringLiteral("管理"), 3);
    addCustomer(QStringLiteral("amy"), QStringLiteral("pw"), QStringLiteral("艾米"), 0);
    const QList<QVariantList> before = customers();
    QVERIFY(!find(account, password));
    QCOMPARE(customers(), before);
}

void TestAccountStatements::applicationStoredExactlyAsTyped() {
    const QList<Application> applications = {
        {QString(), QString(), QString(), QString()},
        {QStringLiteral("O'Neil\"x"), QStringLiteral("歐'尼\"爾"), QStringLiteral("p' or '1'='1"),
         QStringLiteral("R&D \\ 100% '研發'")},
        {QStringLiteral("\" or \"\"=\""), QStringLiteral("某人"), QStringLiteral("x\" --"),
         QStringLiteral("');drop table menu;-")},
        {QStringLiteral("Amy Lee  "), QStringLiteral("艾米"), QStringLiteral("PassWord"), QString()},
    };
    QList<QVariantList> expected;
    for (const Application &a : applications) {
        apply(*m_set, a);
        QVERIFY(!m_set->isActive());
        expected << QVariantList{a.account, a.name, a.password, a.group, 0};
    }
    QCOMPARE(m_set->statement().lines(),
             (QStringList{QStringLiteral("INSERT INTO customer "),
                          QStringLiteral("(cus_number , cus_name , cus_password , cus_group , cus_leve ) "),
                          QStringLiteral("VALUES ("), QStringLiteral(" ? ,"), QStringLiteral(" ? ,"),
                          QStringLiteral(" ? ,"), QStringLiteral(" ? ,"), QStringLiteral(" '0' )")}));
    const QList<QVariantList> stored = customers();
    QCOMPARE(stored, expected);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(!stored.at(0).at(i).isNull(), "empty text, not an empty value");
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from menu")).toInt(), 0); // still there

    // Each signs in with exactly those texts; sign-in trims the typed text and the engine
    // compares ignoring case and trailing spaces.
    QCOMPARE(find(applications.at(1).account, applications.at(1).password).value().name,
             applications.at(1).name);
    QCOMPARE(find(QStringLiteral(" amy lee"), QStringLiteral("PASSWORD ")).value().name,
             QStringLiteral("艾米"));
}

void TestAccountStatements::applicationRefusedStoresNothing() {
    // A name of eight characters fits; nine do not.
    QVERIFY_THROWS_EXCEPTION(DbError,
                             apply(*m_set, {QStringLiteral("nine"), QStringLiteral("一二三四五六七八九"),
                                            QStringLiteral("pw"), QString()}));
    QCOMPARE(customers().size(), 0);
    apply(*m_set,
          {QStringLiteral("eight"), QStringLiteral("一二三四五六七八"), QStringLiteral("pw"), QString()});
    QCOMPARE(customers().size(), 1);

    m_db->exec(QStringLiteral("alter table customer rename to customer_gone"));
    QVERIFY_THROWS_EXCEPTION(DbError, apply(*m_set, {QStringLiteral("amy"), QStringLiteral("艾米"),
                                                     QStringLiteral("pw"), QString()}));
    QCOMPARE(m_db->scalar(QStringLiteral("select count(*) from customer_gone")).toInt(), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, findAccount(*m_get, QStringLiteral("eight"), QStringLiteral("pw")));
}

void TestAccountStatements::accountNamesSignInWouldConfuseAreRefused() {
    apply(*m_set, {QStringLiteral("amy"), QStringLiteral("艾米"), QStringLiteral("pw"), QString()});
    addCustomer(QStringLiteral("bob"), QStringLiteral("pw"), QStringLiteral("鮑伯"), 0);
    const QList<QVariantList> before = customers();
    const QString taken = QString::fromLatin1(AccountNameRule::message());
    // Every spelling sign-in takes for "amy": case, full width, trailing (ideographic) spaces.
    const QStringList same = {QStringLiteral("amy "), QStringLiteral("ａｍｙ"), QStringLiteral("amy\u3000"),
                              QStringLiteral("AMY"), QStringLiteral("Ａｍｙ  ")};
    for (const QString &account : same) {
        try {
            apply(*m_set, {account, QStringLiteral("冒名"), QStringLiteral("pw"), QString()});
            QFAIL(qPrintable(account + QStringLiteral(" was stored")));
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(taken), qPrintable(e.message()));
        }
    }
    // Another connection (another copy of the program) is held to the same rule.
    const std::unique_ptr<Connection> other = m_db->openAnother();
    Statement insert;
    insert.add(QStringLiteral("INSERT INTO customer (cus_number, cus_name) VALUES (?, 'x')"));
    insert.bind(QStringLiteral("ＡＭＹ "));
    QVERIFY_THROWS_EXCEPTION(DbError, other->execute(insert));
    QCOMPARE(customers(), before);
    QCOMPARE(find(QStringLiteral("amy"), QStringLiteral("pw")).value().name, QStringLiteral("艾米"));

    // The permission page's list: renaming bob to amy's account is refused and nothing is
    // stored; his other columns, and his account spelled anew, can still change.
    Dataset accounts(QStringLiteral("ADODataSet3"));
    accounts.setConnection(&m_db->connection());
    accounts.statement().add(QStringLiteral("select * from customer"));
    accounts.open();
    accounts.last();
    accounts.edit();
    accounts.fieldByName(QStringLiteral("cus_number"))->setAsString(QStringLiteral("ａｍｙ"));
    QVERIFY_THROWS_EXCEPTION(DbError, accounts.post());
    QCOMPARE(customers(), before);
    accounts.cancel();
    accounts.edit();
    accounts.fieldByName(QStringLiteral("cus_number"))->setAsString(QStringLiteral("BOB "));
    accounts.fieldByName(QStringLiteral("cus_leve"))->setValue(1);
    accounts.post();
    QCOMPARE(customers().at(1), (QVariantList{QStringLiteral("BOB "), QStringLiteral("鮑伯"),
                                              QStringLiteral("pw"), QString(), 1}));
    // Names that sign-in, which trims what is typed, could never match: refused as values of
    // the account name, whoever writes them, with the reason in the user's words.
    for (const QString &never : {QStringLiteral(" cat"), QStringLiteral("\tcat"), QStringLiteral("cat\n"),
                                 QStringLiteral("cat\t  "), QStringLiteral("  ")}) {
        try {
            apply(*m_set, {never, QStringLiteral("貓"), QStringLiteral("pw"), QString()});
            QFAIL(qPrintable(never + QStringLiteral(" was stored")));
        } catch (const DbError &e) {
            QCOMPARE(e.message(), AccountNameRule::untrimmedMessage());
        }
        accounts.edit();
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 accounts.fieldByName(QStringLiteral("cus_number"))->setAsString(never));
        accounts.cancel();
    }
    QCOMPARE(customers().size(), 2);
    // Distinct names are still welcome.
    apply(*m_set, {QStringLiteral("amy2"), QStringLiteral("艾米二"), QStringLiteral("pw"), QString()});
    apply(*m_set, {QStringLiteral("am y"), QStringLiteral("艾米三"), QStringLiteral("pw"), QString()});
    QCOMPARE(customers().size(), 4);
}

void TestAccountStatements::shopListGroupedAsTheEngineGroups() {
    QStringList shops;
    const auto read = [&] {
        shops.clear();
        ShopList::read(*m_get, [&](const QString &shop) { shops << shop; });
        QVERIFY(!m_get->isActive());
    };
    read();
    QCOMPARE(shops, QStringList());

    for (const QString &shop : {QStringLiteral("CoCo"), QStringLiteral("coco"), QStringLiteral("ＣｏＣｏ"),
                                QStringLiteral("COCO  "), QStringLiteral("50嵐"), QStringLiteral("50嵐")})
        m_db->addMenu(shop, QStringLiteral("茶"), QStringLiteral("紅茶") + shop, QStringLiteral("中"), 30);
    m_db->addMenu(QStringLiteral("Co Co"), QStringLiteral("茶"), QStringLiteral("綠茶"), QStringLiteral("中"),
                  30);
    read();
    QCOMPARE(m_get->statement().lines(),
             (QStringList{QStringLiteral("Select men_merchant From menu "),
                          QStringLiteral("Group By men_merchant COLLATE KTEXT ")}));
    QCOMPARE(shops.size(), 3);
    QStringList rest = shops;
    QVERIFY(rest.removeOne(QStringLiteral("50嵐")));
    QVERIFY(rest.removeOne(QStringLiteral("Co Co")));
    // One entry stands for the four spellings of one shop.
    QCOMPARE(TextCollation::fold(rest.at(0)), TextCollation::fold(QStringLiteral("coco")));

    m_db->exec(QStringLiteral("alter table menu rename to menu_gone"));
    QVERIFY_THROWS_EXCEPTION(DbError, read());
}

QTEST_GUILESS_MAIN(TestAccountStatements)
#include "tst_accountstatements.moc"
