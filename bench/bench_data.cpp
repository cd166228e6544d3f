// Dataset open and requery on the whole menu table against a plain sqlite3_step loop that
// copies the same columns, in the same run; and one day's listing with its total among
// 1,000,000 order lines. Ratios are printed at the end.
#include "Connection.h"
#include "Dataset.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

const char *const menuSelect =
    "select men_cap, men_merchant, men_name, men_price, men_type from menu ORDER BY men_id DESC ";

//! A database file per size, made once per run.
class Files {
public:
    static QString menu(int rows) {
        static std::map<int, QString> made;
        auto it = made.find(rows);
        if (it != made.end()) return it->second;
        const QString path = dir().filePath(QStringLiteral("menu%1.mdb").arg(rows));
        Schema::createDatabase(path);
        sqlite3 *h = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &h);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(h,
                           "INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)",
                           -1, &st, nullptr);
        const char *types[] = {"茶類", "奶茶", "果汁", "特調"};
        const char *caps[] = {"小", "中", "大"};
        for (int i = 0; i < rows; ++i) {
            const QByteArray shop = QStringLiteral("飲料店%1號").arg(i % 200).toUtf8();
            const QByteArray name = QStringLiteral("招牌飲品%1").arg(i).toUtf8();
            sqlite3_bind_text(st, 1, shop.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, types[i % 4], -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 3, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, caps[i % 3], -1, SQLITE_STATIC);
            sqlite3_bind_int(st, 5, 25 + i % 50);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        made[rows] = path;
        return path;
    }

    //! 1,000,000 order lines over 365 days, stored in time order as the program stores them.
    static QString orders() {
        static QString path;
        if (!path.isEmpty()) return path;
        path = dir().filePath(QStringLiteral("orders.mdb"));
        Schema::createDatabase(path);
        sqlite3 *h = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &h);
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(
            h,
            "INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, "
            "ord_date, ord_time) VALUES (?1, '中', ?2, ?3, '半糖少冰', ?4, ?5, ?6)",
            -1, &st, nullptr);
        const QDate first(2026, 1, 1);
        for (int i = 0; i < 1000000; ++i) {
            const QByteArray name = QStringLiteral("珍珠奶茶%1").arg(i % 40).toUtf8();
            const QByteArray shop = QStringLiteral("飲料店%1號").arg(i % 23).toUtf8();
            const QByteArray who = QStringLiteral("員工%1").arg(i % 97).toUtf8();
            const QByteArray day = first.addDays(i / 2740).toString(Qt::ISODate).toUtf8();
            const QByteArray time = QStringLiteral("%1:%2")
                                        .arg(8 + i % 10, 2, 10, QLatin1Char('0'))
                                        .arg(i % 60, 2, 10, QLatin1Char('0'))
                                        .toUtf8();
            sqlite3_bind_text(st, 1, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 2, 30 + i % 40);
            sqlite3_bind_text(st, 3, shop.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, who.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 5, day.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 6, time.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        return path;
    }

private:
    static QTemporaryDir &dir() {
        static QTemporaryDir d;
        return d;
    }
};

std::unique_ptr<Connection> connect(const QString &path) {
    auto c = std::make_unique<Connection>();
    c->setDatabaseFile(path);
    c->open();
    return c;
}

struct MenuRow {
    QString cap, merchant, name;
    qint64 price;
    QString type;
};

QString text16(sqlite3_stmt *st, int c) {
    return QString(reinterpret_cast<const QChar *>(sqlite3_column_text16(st, c)),
                   sqlite3_column_bytes16(st, c) / 2);
}

// The baseline: step the statement and copy every column into a row of Qt values.
void BM_PlainStepLoop(benchmark::State &state) {
    auto c = connect(Files::menu(int(state.range(0))));
    for (auto _ : state) {
        std::vector<MenuRow> rows;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(c->handle(), menuSelect, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.push_back(
                {text16(st, 0), text16(st, 1), text16(st, 2), sqlite3_column_int64(st, 3), text16(st, 4)});
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

QString text8(sqlite3_stmt *st, int c) {
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, c)),
                             sqlite3_column_bytes(st, c));
}

// The same loop reading the stored UTF-8 and converting with Qt (no conversion inside the engine).
void BM_PlainStepLoopUtf8(benchmark::State &state) {
    auto c = connect(Files::menu(int(state.range(0))));
    for (auto _ : state) {
        std::vector<MenuRow> rows;
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(c->handle(), menuSelect, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.push_back(
                {text8(st, 0), text8(st, 1), text8(st, 2), sqlite3_column_int64(st, 3), text8(st, 4)});
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

Dataset *menuDataset(Connection *c) {
    auto *ds = new Dataset(QStringLiteral("ADODataSet1"));
    ds->setConnection(c);
    ds->statement().add(QString::fromUtf8(menuSelect));
    ds->setFieldDefs({{QStringLiteral("men_name"), QString(), 15, true, false},
                      {QStringLiteral("men_cap"), QString(), 6, true, false},
                      {QStringLiteral("men_price"), QString(), 6, true, false},
                      {QStringLiteral("men_merchant"), QString(), 12, true, false},
                      {QStringLiteral("men_type"), QString(), 12, true, false}});
    return ds;
}

void BM_DatasetOpen(benchmark::State &state) {
    auto c = connect(Files::menu(int(state.range(0))));
    std::unique_ptr<Dataset> ds(menuDataset(c.get()));
    for (auto _ : state) {
        ds->open();
        benchmark::DoNotOptimize(ds->recordCount());
        ds->close();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DatasetRequery(benchmark::State &state) {
    auto c = connect(Files::menu(int(state.range(0))));
    std::unique_ptr<Dataset> ds(menuDataset(c.get()));
    ds->open();
    ds->setRecNo(int(state.range(0) / 2));
    for (auto _ : state) {
        ds->requery();
        benchmark::DoNotOptimize(ds->recNo());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// For reference: the same rows through Qt's forward-only query.
void BM_QSqlQuery(benchmark::State &state) {
    auto c = connect(Files::menu(int(state.range(0))));
    for (auto _ : state) {
        std::vector<MenuRow> rows;
        QSqlQuery q(c->database());
        q.setForwardOnly(true);
        q.exec(QString::fromUtf8(menuSelect));
        while (q.next())
            rows.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                            q.value(3).toLongLong(), q.value(4).toString()});
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The summary page: one day's lines sorted by shop, and the day's total.
void BM_DayListingAndTotal(benchmark::State &state) {
    auto c = connect(Files::orders());
    Dataset listing(QStringLiteral("ADODataSet2"));
    listing.setConnection(c.get());
    Dataset total(QStringLiteral("ADOQuery_GET"));
    total.setConnection(c.get());
    int lines = 0;
    for (auto _ : state) {
        listing.close();
        listing.statement().clear();
        listing.statement().add(QStringLiteral("select * from ordern"));
        listing.statement().add(QStringLiteral("where ord_date = ?"));
        listing.statement().add(QStringLiteral("ORDER BY ord_mer"));
        listing.statement().bindFor(QStringLiteral("ord_date"), QStringLiteral("2026/06/15"));
        listing.open();
        lines = listing.recordCount();
        total.close();
        total.statement().clear();
        total.statement().add(QStringLiteral("select Sum(ord_pric) from ordern"));
        total.statement().add(QStringLiteral("where ord_date = ?"));
        total.statement().bindFor(QStringLiteral("ord_date"), QStringLiteral("2026/06/15"));
        total.open();
        benchmark::DoNotOptimize(total.field(0)->asString());
        total.close();
    }
    state.counters["lines"] = lines;
}

BENCHMARK(BM_PlainStepLoop)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainStepLoopUtf8)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
// One row: what every open costs besides its rows (preparing and describing the statement).
BENCHMARK(BM_DatasetOpen)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DatasetOpen)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatasetRequery)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QSqlQuery)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayListingAndTotal)->Unit(benchmark::kMillisecond);

//! Console output as usual, plus the ratios against the plain loop at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                // CPU time: on a shared machine wall time mostly measures the neighbours.
                m_times[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
    }
    void printRatios() const {
        for (const char *size : {"10000", "100000"})
            for (const char *name : {"BM_DatasetOpen", "BM_DatasetRequery", "BM_QSqlQuery"}) {
                // Against the faster of the two plain loops.
                const auto a = m_times.find(std::string("BM_PlainStepLoop/") + size);
                const auto b = m_times.find(std::string("BM_PlainStepLoopUtf8/") + size);
                const auto other = m_times.find(std::string(name) + "/" + size);
                if (a == m_times.end() || b == m_times.end() || other == m_times.end()) continue;
                const double base = std::min(a->second, b->second);
                std::printf("%s/%s: %.2fx the plain loop (CPU time)\n", name, size, other->second / base);
            }
        const auto day = m_times.find("BM_DayListingAndTotal");
        if (day != m_times.end())
            std::printf("day listing + total, 1,000,000 lines: %.2f ms CPU (aim: under 5 ms)\n",
                        day->second * 1000);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
