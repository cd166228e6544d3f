// The text equality runs once per comparison the engine makes (every row of a sign-in look-up,
// every step of a grouping sort), so it is measured per call, against a plain binary compare,
// and in the shop list's GROUP BY over a menu table. The value converter runs once per bound value.
#include "Schema.h"
#include "TextCollation.h"
#include "ValueConverter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

struct Pair {
    QString a, b;
};

Pair pairOf(int kind) {
    switch (kind) {
    case 0:
        return {QStringLiteral("admin.account"), QStringLiteral("ADMIN.ACCOUNT  ")};
    case 1:
        return {QStringLiteral("五十嵐珍珠奶茶旗艦店"), QStringLiteral("五十嵐珍珠奶茶旗艦店 ")};
    default:
        return {QStringLiteral("ＣｏＣｏ都可 Tea"), QStringLiteral("coco都可 TEA　")};
    }
}

const char *labelOf(int kind) {
    return kind == 0 ? "ascii" : kind == 1 ? "chinese" : "mixed width";
}

void BM_Compare(benchmark::State &state) {
    const Pair p = pairOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(TextCollation::compare(p.a, p.b));
    state.SetLabel(labelOf(int(state.range(0))));
}

void BM_BinaryCompare(benchmark::State &state) {
    const Pair p = pairOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(QStringView(p.a).compare(QStringView(p.b)));
    state.SetLabel(labelOf(int(state.range(0))));
}

//! `Select men_merchant From menu Group By men_merchant COLLATE <collation>` over `rows` items of
//! 200 shops, with the collation named by the second argument (0 BINARY, 1 KTEXT).
void BM_ShopListGroupBy(benchmark::State &state) {
    const int rows = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("menu.mdb"));
    Schema::createDatabase(path);
    sqlite3 *h = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &h);
    TextCollation::install(h);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *ins = nullptr;
    sqlite3_prepare_v2(h, "INSERT INTO menu (men_merchant) VALUES (?1)", -1, &ins, nullptr);
    for (int i = 0; i < rows; ++i) {
        // Each shop in three spellings: as typed, in capitals, in full width.
        QString shop = QStringLiteral("CoCo飲料店%1").arg(i % 200);
        if (i % 3 == 1) shop = shop.toUpper();
        if (i % 3 == 2)
            for (QChar &c : shop)
                if (c.unicode() > 0x20 && c.unicode() < 0x7F) c = QChar(char16_t(c.unicode() + 0xFEE0));
        const QByteArray utf8 = shop.toUtf8();
        sqlite3_bind_text(ins, 1, utf8.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    const char *sql = state.range(1) ? "Select men_merchant From menu Group By men_merchant COLLATE KTEXT"
                                     : "Select men_merchant From menu Group By men_merchant COLLATE BINARY";
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    int groups = 0;
    for (auto _ : state) {
        groups = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++groups;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    state.SetLabel(state.range(1) ? "KTEXT" : "BINARY");
    state.counters["groups"] = groups;
}

void BM_ConvertText(benchmark::State &state) {
    const ValueConverter converter{LocaleFormats()};
    const ColumnInfo *note = Schema::column(QStringLiteral("ord_note"));
    const QVariant value(QStringLiteral("半糖少冰，加珍珠"));
    for (auto _ : state)
        benchmark::DoNotOptimize(converter.convert(*note, value));
}

void BM_ConvertDateAndTime(benchmark::State &state) {
    const ValueConverter converter{LocaleFormats()};
    const ColumnInfo *date = Schema::column(QStringLiteral("ord_date"));
    const ColumnInfo *time = Schema::column(QStringLiteral("ord_time"));
    const QVariant day(QStringLiteral("2026/12/09")), moment(QStringLiteral("13:05"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(converter.convert(*date, day));
        benchmark::DoNotOptimize(converter.convert(*time, moment));
    }
}

} // namespace

BENCHMARK(BM_Compare)->DenseRange(0, 2);
BENCHMARK(BM_BinaryCompare)->DenseRange(0, 2);
BENCHMARK(BM_ShopListGroupBy)->Args({3000, 0})->Args({3000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertText);
BENCHMARK(BM_ConvertDateAndTime);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
