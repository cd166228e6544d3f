// A second process for the fault tests:
//   insert FILE COUNT TAG  inserts COUNT order lines (note TAG-n), each its own write
//   hold FILE MS           takes the write lock, says "locked", keeps it MS milliseconds
#include "Connection.h"
#include "DbError.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <sqlite3.h>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("insert")) {
        Connection c;
        c.setDatabaseFile(args[2]);
        c.setBusyTimeoutMs(60000);
        try {
            c.open();
            const int count = args[3].toInt();
            for (int i = 0; i < count; ++i) {
                Statement st;
                st.add(
                    QStringLiteral("INSERT INTO ordern (ord_name, ord_pric, ord_note, ord_date, ord_time)"));
                st.add(QStringLiteral("VALUES (?, ?, ?, ?, ?)"));
                st.bindFor(QStringLiteral("ord_name"), QStringLiteral("珍珠奶茶"));
                st.bindFor(QStringLiteral("ord_pric"), QStringLiteral("50"));
                st.bindFor(QStringLiteral("ord_note"), QStringLiteral("%1-%2").arg(args[4]).arg(i));
                st.bindFor(QStringLiteral("ord_date"), QStringLiteral("2026/12/09"));
                st.bindFor(QStringLiteral("ord_time"), QStringLiteral("12:00"));
                c.execute(st);
            }
        } catch (const DbError &e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.message()));
            return 1;
        }
        return 0;
    }
    if (args.size() == 4 && args[1] == QLatin1String("hold")) {
        sqlite3 *h = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(args[2]).constData(), &h, SQLITE_OPEN_READWRITE, nullptr) !=
                SQLITE_OK ||
            sqlite3_exec(h, "BEGIN IMMEDIATE; INSERT INTO menu (men_name) VALUES ('held')", nullptr, nullptr,
                         nullptr) != SQLITE_OK)
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        QThread::msleep(args[3].toULong());
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        return 0;
    }
    std::fprintf(stderr, "usage: kelvaro_data_helper insert FILE COUNT TAG | hold FILE MS\n");
    return 2;
}
