// The same 100,000 menu rows (6 columns) fetched into a snapshot through Connection, from the
// SQLite file and from a PostgreSQL server on a Unix socket, in the same run.
#include "Connection.h"
#include "Statement.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<TestDatabase> made[2];

//! One database per engine with the rows, made once per run; one statement fills both.
TestDatabase &database(EngineKind engine) {
    std::unique_ptr<TestDatabase> &db = made[engine == EngineKind::Postgres ? 1 : 0];
    if (!db) {
        db = std::make_unique<TestDatabase>(engine);
        db->exec(QStringLiteral(
            "WITH RECURSIVE s(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM s WHERE i < 99999) "
            "INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
            "SELECT '飲料店' || (i % 200) || '號', CASE i % 4 WHEN 0 THEN '茶類' WHEN 1 THEN '奶茶' "
            "WHEN 2 THEN '果汁' ELSE '特調' END, '招牌飲品' || i, CASE i % 3 WHEN 0 THEN '小' WHEN 1 THEN "
            "'中' "
            "ELSE '大' END, 25 + i % 50 FROM s"));
    }
    return *db;
}

//! Arguments: engine (0 the file, 1 the server), keyed (rows carry their key, as a dataset's do).
void label(benchmark::State &state, EngineKind engine) {
    state.SetLabel(std::string(engine == EngineKind::Postgres ? "postgresql" : "sqlite") +
                   (state.range(1) ? " keyed" : ""));
}

ResultSet run(Connection &c, const Statement &st, bool keyed) {
    return keyed ? c.selectKeyed(st) : c.select(st);
}

void BM_FetchMenu(benchmark::State &state) {
    const EngineKind engine = state.range(0) ? EngineKind::Postgres : EngineKind::Sqlite;
    label(state, engine);
    Connection &c = database(engine).connection();
    Statement st;
    st.add(QStringLiteral("select * from menu"));
    for (auto _ : state) {
        const ResultSet rs = run(c, st, state.range(1));
        if (rs.rowCount() != 100000) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(rs.value(99999, 3));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_FetchMenu)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// One row by a bound value: what asking the engine whether rows carry a key costs a small select.
void BM_OneRow(benchmark::State &state) {
    const EngineKind engine = state.range(0) ? EngineKind::Postgres : EngineKind::Sqlite;
    label(state, engine);
    Connection &c = database(engine).connection();
    Statement st;
    st.add(QStringLiteral("select men_name, men_price from menu where men_id = ?"));
    st.bind(4242);
    for (auto _ : state) {
        const ResultSet rs = run(c, st, state.range(1));
        if (rs.rowCount() != 1) state.SkipWithError("wrong row count");
    }
}
BENCHMARK(BM_OneRow)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Closed while the application still stands (the file's Qt connection needs it).
    for (auto &db : made)
        db.reset();
    return 0;
}
