#include "AdminProcess.h"
#include "PostgresCluster.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <sqlite3.h>
#include <thread>

namespace {

QString makeDatabase(const QTemporaryDir &dir, const QString &name, bool demo = false) {
    const QString path = dir.filePath(name);
    QStringList args{QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("boss"),
                     QStringLiteral("pw"),   QStringLiteral("老闆"),      path};
    if (demo) args.insert(1, QStringLiteral("--demo"));
    const AdminResult r = admin(args);
    return r.code == 0 ? path : QString();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

//! kelvaro-admin with its standard input read from `input`.
AdminResult adminReading(const QStringList &args, const QString &input, const QString &workDir) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.setStandardInputFile(input);
    p.start(QStringLiteral(KELVARO_ADMIN), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestAdminMaintenance : public QObject {
    Q_OBJECT
private slots:
    void backupWhileAnotherCopyWrites();
    void addManagerRefusesAnAccountSignInWouldConfuse();
    void menuCsvImportAndExport();
    void serverInitImportAndBackup();
    void officeMadeFilesAndFolders();
};

void TestAdminMaintenance::backupWhileAnotherCopyWrites() {
    QTemporaryDir dir;
    const QString source = makeDatabase(dir, QStringLiteral("office.mdb"));
    QVERIFY(!source.isEmpty());

    // Another copy inserts numbered lines one transaction each while the backup runs.
    std::atomic<int> committed{0};
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        sqlite3 *h = nullptr;
        sqlite3_open_v2(QFile::encodeName(source).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(h, 10000);
        for (int i = 1; !stop && i < 100000; ++i) {
            const QByteArray sql =
                QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, "
                               "men_price) VALUES ('店', '類', 'item%1', '小', %1)")
                    .arg(i)
                    .toUtf8();
            if (sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) break;
            committed = i;
            std::this_thread::sleep_for(std::chrono::milliseconds(1)); // people order, not a tight loop
        }
        sqlite3_close(h);
    });
    while (committed < 200)
        QThread::msleep(5);
    const int before = committed;
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    const AdminResult r = admin({QStringLiteral("backup"), source, copy});
    const int after = committed;
    stop = true;
    writer.join();
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(admin({QStringLiteral("check"), copy}).code, 0);

    // One consistent state: every line committed before the backup began, and no gaps.
    Connection c;
    c.setDatabaseFile(copy);
    c.open();
    const int rows = scalar(c, QStringLiteral("select count(*) from menu")).toInt();
    QVERIFY2(rows >= before && rows <= after,
             qPrintable(QStringLiteral("%1 <= %2 <= %3").arg(before).arg(rows).arg(after)));
    QCOMPARE(scalar(c, QStringLiteral("select max(men_price) from menu")).toInt(), rows);
    c.close();

    // Never over an existing file.
    const QByteArray kept = readFile(copy);
    const AdminResult again = admin({QStringLiteral("backup"), QStringLiteral("--database"), source, copy});
    QCOMPARE(again.code, 1);
    QVERIFY(again.err.contains(QStringLiteral("already exists")));
    QCOMPARE(readFile(copy), kept);
    // Nor into a folder that is not there: the file is named, and nothing is made.
    const QString nowhere = dir.filePath(QStringLiteral("no folder/copy.mdb"));
    const AdminResult lost = admin({QStringLiteral("backup"), source, nowhere});
    QCOMPARE(lost.code, 1);
    QVERIFY2(lost.err.contains(nowhere) && lost.err.contains(QStringLiteral("No such file")),
             qPrintable(lost.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);
}

void TestAdminMaintenance::addManagerRefusesAnAccountSignInWouldConfuse() {
    QTemporaryDir dir;
    const QString db = makeDatabase(dir, QStringLiteral("k.mdb"));
    QVERIFY(!db.isEmpty());
    const AdminResult added = admin({QStringLiteral("add-manager"), db, QStringLiteral("amy"),
                                     QStringLiteral("secret"), QStringLiteral("艾咪")});
    QVERIFY2(added.code == 0, qPrintable(added.err));
    // Sign-in ignores letter case, width and trailing spaces: these are all "boss" or "amy".
    for (const QString &account :
         {QStringLiteral("BOSS"), QStringLiteral("ａｍｙ"), QStringLiteral("amy ")}) {
        const AdminResult r = admin({QStringLiteral("add-manager"), QStringLiteral("--database"), db, account,
                                     QStringLiteral("x"), QStringLiteral("x")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("exists already")), qPrintable(r.err));
    }
    // Nor an account that sign-in, which trims what is typed, could never match; init is held
    // to the same rule for its first manager.
    for (const QString &never : {QStringLiteral(" amy"), QStringLiteral("cat\t")}) {
        const AdminResult r =
            admin({QStringLiteral("add-manager"), db, never, QStringLiteral("x"), QStringLiteral("x")});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("nobody could ever sign in with it")), qPrintable(r.err));
    }
    const AdminResult init =
        admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral(" boss"),
               QStringLiteral("pw"), QStringLiteral("老闆"), dir.filePath(QStringLiteral("n.mdb"))});
    QCOMPARE(init.code, 2);
    QVERIFY2(init.err.contains(QStringLiteral("nobody could ever sign in with it")), qPrintable(init.err));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("n.mdb"))));
    Connection c;
    c.setDatabaseFile(db);
    c.open();
    QCOMPARE(scalar(c, QStringLiteral("select group_concat(cus_number || ':' || cus_leve || ':' || cus_name) "
                                      "from customer"))
                 .toString(),
             QStringLiteral("boss:3:老闆,amy:3:艾咪"));
    QCOMPARE(admin({QStringLiteral("add-manager"), db, QStringLiteral("x")}).code, 2);
    QCOMPARE(admin({QStringLiteral("add-manager"), dir.filePath(QStringLiteral("none.mdb")),
                    QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
                 .code,
             1);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.mdb"))));
}

void TestAdminMaintenance::menuCsvImportAndExport() {
    QTemporaryDir dir;
    const QString db = makeDatabase(dir, QStringLiteral("menu.mdb"));
    QVERIFY(!db.isEmpty());

    // A shop's price list as a spreadsheet saves it: BOM, CRLF, quoted commas and quotes.
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    writeFile(good, "\xEF\xBB\xBF"
                    "men_merchant,men_type,men_name,men_cap,men_price\r\n"
                    "五十嵐,茶類,四季春青茶,小,25\r\n"
                    "\"Tea, \"\"Best\"\" Co.\",Milk tea,\"Pearl, large\",大,60\r\n"
                    "\r\n"
                    "清心福全,果汁,柳橙汁,中,0\r\n");
    const AdminResult imported = admin({QStringLiteral("import-menu"), db, good});
    QVERIFY2(imported.code == 0, qPrintable(imported.err));

    // A bad price on line 7: named with its line, and nothing of the file is stored.
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    QByteArray lines = "shop,tea,a,小,10\n";
    for (int i = 2; i <= 6; ++i)
        lines += QStringLiteral("shop,tea,item%1,中,%1\n").arg(i).toUtf8();
    lines += "shop,tea,item7,大,12.5\nshop,tea,item8,大,30\n";
    writeFile(bad, lines);
    const AdminResult refused = admin({QStringLiteral("import-menu"), db, bad});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("line 7")), qPrintable(refused.err));
    QVERIFY(refused.err.contains(QStringLiteral("nothing was stored")));
    // A text too long for its column fails inside the transaction: still all or nothing.
    writeFile(bad, "shop,tea,ok,小,10\nshop,tea," + QByteArray(31, 'x') + ",小,10\n");
    QCOMPARE(admin({QStringLiteral("import-menu"), db, bad}).code, 1);
    // A price list saved in the legacy Big5 code page is not taken for UTF-8 and stored as
    // replacement characters: refused, its first such line named.
    writeFile(bad, "shop,tea,ok,小,10\n\xa4\xad\xa4\x51\xb5\xb0,\xaf\xf9\xc3\xfe,\xa5\x7c\xa9\x75\xac\x4b,"
                   "\xa4\x70,25\n");
    const AdminResult big5 = admin({QStringLiteral("import-menu"), db, bad});
    QCOMPARE(big5.code, 1);
    QVERIFY2(big5.err.contains(QStringLiteral("line 2")) && big5.err.contains(QStringLiteral("UTF-8")),
             qPrintable(big5.err));

    Connection c;
    c.setDatabaseFile(db);
    c.open();
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from menu")).toInt(), 3);
    QCOMPARE(scalar(c, QStringLiteral("select men_merchant || '|' || men_name || '|' || men_price from menu "
                                      "where men_cap = '大'"))
                 .toString(),
             QStringLiteral("Tea, \"Best\" Co.|Pearl, large|60"));
    c.close();

    // Export, import into a new file, export again: the same bytes.
    const QString first = dir.filePath(QStringLiteral("first.csv"));
    QCOMPARE(admin({QStringLiteral("export-menu"), db, first}).code, 0);
    const QString other = makeDatabase(dir, QStringLiteral("other.mdb"));
    QCOMPARE(admin({QStringLiteral("import-menu"), other, first}).code, 0);
    const AdminResult second = admin({QStringLiteral("export-menu"), other});
    QCOMPARE(second.code, 0);
    QCOMPARE(second.out.toUtf8(), readFile(first));
    QVERIFY(second.out.startsWith(QStringLiteral("men_merchant,men_type,men_name,men_cap,men_price\r\n")));
    QCOMPARE(admin({QStringLiteral("export-menu"), db, first}).code, 1); // never overwritten
}

void TestAdminMaintenance::serverInitImportAndBackup() {
    PostgresCluster &cluster = PostgresCluster::instance();
    const QString url = cluster.databaseUrl();
    cluster.emptyDatabase();
    QTemporaryDir dir;

    // The manager takes a demo user's account: the demo data fails after the schema and the
    // manager went in, and nothing of the three stays.
    const AdminResult half =
        admin({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
               QStringLiteral("AMY"), QStringLiteral("pw"), QStringLiteral("老闆"), url});
    QCOMPARE(half.code, 1);
    QVERIFY2(half.err.contains(QStringLiteral("account name is taken")), qPrintable(half.err));
    const AdminResult empty = admin({QStringLiteral("check"), url});
    QCOMPARE(empty.code, 1);
    QVERIFY2(empty.err.contains(QStringLiteral("Table 'customer' is missing")), qPrintable(empty.err));
    // Still empty, collation included: init goes through now, and a second one changes nothing.
    const AdminResult made =
        admin({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
               QStringLiteral("boss"), QStringLiteral("pw"), QStringLiteral("老闆"), url});
    QVERIFY2(made.code == 0, qPrintable(made.err));
    const AdminResult again = admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("x"),
                                     QStringLiteral("x"), QStringLiteral("x"), url});
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(QStringLiteral("not empty")), qPrintable(again.err));
    Connection c;
    c.setDatabaseFile(url);
    c.open();
    const QString accounts =
        QStringLiteral("select string_agg(cus_number || ':' || cus_leve, ',' order by cus_id) "
                       "from customer");
    QCOMPARE(scalar(c, accounts).toString(), QStringLiteral("boss:3,amy:0,jack:0,mei:1"));
    const int demoItems = scalar(c, QStringLiteral("select count(*) from menu")).toInt();
    QVERIFY(demoItems > 0);

    // Line 3 of 5 is too long for the server's size check: lines 1 and 2 went in before it, and
    // still nothing is stored.
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    writeFile(bad, "店,茶,a,小,10\n店,茶,b,中,20\n店,茶," + QByteArray(31, 'x') +
                       ",大,30\n店,茶,d,小,40\n店,茶,e,小,50\n");
    const AdminResult refused = admin({QStringLiteral("import-menu"), url, bad});
    QCOMPARE(refused.code, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("line 3")) &&
                 refused.err.contains(QStringLiteral("nothing was stored")),
             qPrintable(refused.err));
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from menu")).toInt(), demoItems);
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    writeFile(good, "men_merchant,men_type,men_name,men_cap,men_price\r\n"
                    "\"Tea, \"\"Best\"\" Co.\",奶茶,\"Pearl, large\",大,60\r\n店,茶,b,中,0\r\n");
    const AdminResult imported =
        admin({QStringLiteral("import-menu"), QStringLiteral("--database"), url, good});
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    QCOMPARE(scalar(c, QStringLiteral(
                           "select string_agg(men_merchant || '|' || men_name || '|' || men_price, ';' "
                           "order by men_id) from menu where men_id > (select max(men_id) - 2 from menu)"))
                 .toString(),
             QStringLiteral("Tea, \"Best\" Co.|Pearl, large|60;店|b|0"));
    c.close();

    // The backup is pg_dump's archive: it restores into an empty database whole.
    const QString dump = dir.filePath(QStringLiteral("office.dump"));
    const AdminResult saved = admin({QStringLiteral("backup"), url, dump});
    QVERIFY2(saved.code == 0, qPrintable(saved.err));
    QProcess list;
    list.start(QStringLiteral("pg_restore"), {QStringLiteral("--list"), dump});
    QVERIFY(list.waitForFinished(60000));
    QCOMPARE(list.exitCode(), 0);
    QVERIFY(list.readAllStandardOutput().contains("TABLE DATA public menu"));
    cluster.psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE restored"));
    QProcess restore;
    restore.start(QStringLiteral("pg_restore"),
                  {QStringLiteral("--no-owner"), QStringLiteral("--exit-on-error"),
                   QStringLiteral("--dbname"), cluster.url(QStringLiteral("restored")), dump});
    QVERIFY(restore.waitForFinished(60000));
    QVERIFY2(restore.exitCode() == 0, restore.readAllStandardError().constData());
    Connection back;
    back.setDatabaseFile(cluster.url(QStringLiteral("restored")));
    back.open();
    QCOMPARE(back.schemaProblems(), QStringList());
    QCOMPARE(scalar(back, accounts).toString(), QStringLiteral("boss:3,amy:0,jack:0,mei:1"));
    QCOMPARE(scalar(back, QStringLiteral("select count(*) from menu")).toInt(), demoItems + 2);
    back.close();

    // An existing file is left alone; without pg_dump the tool says so and makes nothing.
    const QByteArray kept = readFile(dump);
    const AdminResult over = admin({QStringLiteral("backup"), url, dump});
    QCOMPARE(over.code, 1);
    QVERIFY(over.err.contains(QStringLiteral("already exists")));
    QCOMPARE(readFile(dump), kept);
    QProcessEnvironment noClient = QProcessEnvironment::systemEnvironment();
    noClient.insert(QStringLiteral("PATH"), dir.path());
    const QString other = dir.filePath(QStringLiteral("other.dump"));
    const AdminResult missing = admin({QStringLiteral("backup"), url, other}, QString(), noClient);
    QCOMPARE(missing.code, 1);
    QVERIFY2(missing.err.contains(QStringLiteral("pg_dump was not found")), qPrintable(missing.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // the CSVs and the dump
}

void TestAdminMaintenance::officeMadeFilesAndFolders() {
    // Menu files as offices make them, on a file and on a server: headers in words, separators
    // of other locales, old line endings, spaces around fields, the same file imported again,
    // standard input and output; and a backup into a folder, a database into a missing one.
    for (const bool server : {false, true}) {
        QTemporaryDir dir;
        QString db = dir.filePath(QStringLiteral("office.mdb"));
        if (server) {
            PostgresCluster::instance().emptyDatabase();
            db = PostgresCluster::instance().databaseUrl();
        }
        const AdminResult made =
            admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("boss"),
                   QStringLiteral("pw"), QStringLiteral("老闆"), db});
        QVERIFY2(made.code == 0, qPrintable(made.err));
        Connection c;
        c.setDatabaseFile(db);
        c.open();
        const auto menu = [&] {
            Statement st;
            st.add(QStringLiteral(
                "SELECT men_merchant, men_type, men_name, men_cap, men_price FROM menu ORDER BY "
                "men_id"));
            const ResultSet rs = c.select(st);
            QStringList out;
            for (int r = 0; r < rs.rowCount(); ++r) {
                QStringList fields;
                for (int col = 0; col < rs.columnCount(); ++col)
                    fields << rs.value(r, col).toString();
                out << fields.join(QLatin1Char('|'));
            }
            return out;
        };
        const auto importing = [&](const QString &name, const QByteArray &bytes) {
            const QString path = dir.filePath(name);
            writeFile(path, bytes);
            return admin({QStringLiteral("import-menu"), db, path});
        };

        // A spreadsheet's export in Chinese with ";" between the fields (a quoted one holding a
        // comma) and spaces around them: the header is skipped and the spaces trimmed.
        const QByteArray chinese = "\xEF\xBB\xBF店家;分類;品名;杯量;價格\r\n"
                                   " 春水堂 ; 茶類 ;珍珠奶茶; 中 ;60\r\n"
                                   "春水堂;茶類;\"冬瓜, 檸檬\";大;55\r\n";
        AdminResult r = importing(QStringLiteral("chinese.csv"), chinese);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("2 added, 0 updated, 0 unchanged")), qPrintable(r.out));
        QCOMPARE(menu(), (QStringList{QStringLiteral("春水堂|茶類|珍珠奶茶|中|60"),
                                      QStringLiteral("春水堂|茶類|冬瓜, 檸檬|大|55")}));

        // English words in another order, tab separated, old Mac line endings: an item already on
        // the menu (by the engine's text equality) gets its new price, a new one is added.
        r = importing(QStringLiteral("english.txt"),
                      "Item\tShop\tCategory\tCup "
                      "size\tPrice\r珍珠奶茶\t春水堂\t茶類\t中\t65\r紅茶\t春水堂\t茶類\t小杯\t30\r");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("1 added, 1 updated, 0 unchanged")), qPrintable(r.out));
        // The first file once more doubles nothing.
        r = importing(QStringLiteral("chinese.csv"), chinese);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("0 added, 1 updated, 1 unchanged")), qPrintable(r.out));
        const QStringList three{QStringLiteral("春水堂|茶類|珍珠奶茶|中|60"),
                                QStringLiteral("春水堂|茶類|冬瓜, 檸檬|大|55"),
                                QStringLiteral("春水堂|茶類|紅茶|小|30")};
        QCOMPARE(menu(), three);

        // "-" is standard input for import-menu and standard output for export-menu.
        writeFile(dir.filePath(QStringLiteral("piped.csv")),
                  "men_merchant,men_type,men_name,men_cap,men_price\n春水堂,茶類,紅茶,小,30\nCOCO,奶茶,奶綠,"
                  "大,50\n");
        r = adminReading({QStringLiteral("import-menu"), db, QStringLiteral("-")},
                         dir.filePath(QStringLiteral("piped.csv")), dir.path());
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("1 added, 0 updated, 1 unchanged")), qPrintable(r.out));
        r = admin({QStringLiteral("export-menu"), db, QStringLiteral("-")}, dir.path());
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.startsWith(QStringLiteral("men_merchant,men_type,men_name,men_cap,men_price\r\n")));
        QVERIFY2(r.out.contains(
                     QStringLiteral("\r\n春水堂,茶類,\"冬瓜, "
                                    "檸檬\",大,55\r\n春水堂,茶類,紅茶,小,30\r\nCOCO,奶茶,奶綠,大,50\r\n")),
                 qPrintable(r.out));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("-"))));

        // Refusals name the line and the column as the menu page calls it, in plain words, and
        // store nothing.
        const struct {
            QByteArray bytes;
            QStringList said;
        } refused[] = {
            {"店家,分類,品名,杯量,價格\n春水堂,茶類,新品,中,10\n春水堂,茶類,烏龍,特大,40\n",
             {QStringLiteral("line 3: 杯量 '特大'"), QStringLiteral("小, 中, 大")}},
            {"春水堂,茶類,新品,中,10\n春水堂,茶類,烏龍,中,12.5\n",
             {QStringLiteral("line 2: 價格 '12.5' is not a whole number")}},
            {"shop,category,item,size,cost\n春水堂,茶類,新品,中,10\n",
             {QStringLiteral("line 1: 杯量 'size'")}},
            {"春水堂;茶類;新品;中;10\n春水堂;茶類;烏龍\n",
             {QStringLiteral("line 2: 3 fields, expected 5 (店家, 分類, 品名, 杯量, 價格)")}},
            {"春水堂,茶類,新品,中,10\n春水堂,茶類,  ,中,40\n", {QStringLiteral("line 2: 品名 is empty")}},
            {"春水堂,茶類,新品,中,10\n春水堂,茶類," + QByteArray(31, 'x') + ",中,40\n",
             {QStringLiteral("line 2: 品名"), QStringLiteral("30 characters")}},
        };
        for (const auto &bad : refused) {
            r = importing(QStringLiteral("bad.csv"), bad.bytes);
            QCOMPARE(r.code, 1);
            for (const QString &said : bad.said)
                QVERIFY2(r.err.contains(said), qPrintable(r.err));
            QVERIFY2(!r.err.contains(QLatin1String("men_")), qPrintable(r.err));
            QVERIFY(r.err.contains(QStringLiteral("nothing was stored")));
        }
        QCOMPARE(menu().size(), 4);

        // A backup into an existing folder is a dated file inside it, never over another.
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QDir().mkpath(folder);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        for (int i = 0; i < 2; ++i) {
            r = admin({QStringLiteral("backup"), db, folder + (i ? QStringLiteral("/") : QString())});
            QVERIFY2(r.code == 0, qPrintable(r.err));
        }
        const QStringList backups = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(backups.size(), 2);
        for (const QString &b : backups)
            QVERIFY2(b.contains(today), qPrintable(b));
        if (!server)
            QCOMPARE(admin({QStringLiteral("check"), QDir(folder).filePath(backups.first())}).code, 0);
        c.close();
    }

    // A new database in a folder that is not there: the folder is named, nothing is made.
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no such folder"));
    const AdminResult lost =
        admin({QStringLiteral("init"), QStringLiteral("--manager"), QStringLiteral("boss"),
               QStringLiteral("pw"), QStringLiteral("老闆"), missing + QStringLiteral("/k.mdb")});
    QCOMPARE(lost.code, 1);
    QVERIFY2(lost.err.contains(QStringLiteral("'%1'").arg(missing)) &&
                 lost.err.contains(QStringLiteral("does not exist")),
             qPrintable(lost.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

QTEST_GUILESS_MAIN(TestAdminMaintenance)
#include "tst_admin_maintenance.moc"
