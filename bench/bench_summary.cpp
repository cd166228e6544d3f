// The summary page over 1,000,000 order lines, 3,000 of them on the chosen day: the engine's
// own queries for the day (listing and sum, stepped raw), entering the page until the grid is
// listed and painted with its total, and exporting that day to a spreadsheet file.
#include "Dataset.h"
#include "FixedClock.h"
#include "FormData.h"
#include "Schema.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "SummaryPage.h"
#include "TSMDBGrid.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kLinesPerDay = 3000;
const QDate kDay(2026, 3, 4);
const QDate kFirstDay = kDay.addDays(-400);

//! One database, one form's data and one shown summary page for the whole run.
class Scene {
public:
    static Scene &get() {
        if (!instance()) instance().reset(new Scene);
        return *instance();
    }
    static void release() { instance().reset(); }

    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(kDay, QTime(12, 0))};
    FormData data;
    Session session;
    std::unique_ptr<SummaryPage> page;
    TSMDBGrid *grid = nullptr;
    QLabel *total = nullptr;
    QPushButton *exportButton = nullptr;
    QString exportFolder() const { return m_dir.filePath(QStringLiteral("exports")); }
    //! Gives a run of the export its own, empty export folder: the files of the run before it
    //! (named after the same minutes of the clock) move to a folder of their own.
    void freshExportFolder() {
        if (!QDir(exportFolder()).isEmpty())
            QDir().rename(exportFolder(), m_dir.filePath(QStringLiteral("exports-%1").arg(++m_runs)));
        QDir().mkpath(exportFolder());
    }

private:
    static std::unique_ptr<Scene> &instance() {
        static std::unique_ptr<Scene> scene;
        return scene;
    }

    Scene() {
        const QString path = m_dir.filePath(QStringLiteral("kelvaro.mdb"));
        Schema::createDatabase(path);
        QDir().mkpath(exportFolder());
        data.ADOConnection1->setDatabaseFile(path);
        data.load([](const QString &message) { qFatal("%s", qPrintable(message)); });
        QSqlDatabase db = data.ADOConnection1->database();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, "
                           "ord_cusomter, ord_date, ord_time) VALUES (?, '中', ?, ?, ?, ?, ?, ?)"));
        // The chosen day gets exactly 3,000 lines; the rest spread over the days before it.
        const int otherDays = (kLines - kLinesPerDay + kLinesPerDay - 1) / kLinesPerDay;
        for (int i = 0; i < kLines; ++i) {
            const QDate day = i < kLinesPerDay ? kDay : kFirstDay.addDays((i - kLinesPerDay) % otherDays);
            insert.addBindValue(QStringLiteral("招牌飲品%1").arg(i % 40));
            insert.addBindValue(25 + i % 50);
            insert.addBindValue(QStringLiteral("飲料店%1號").arg(i % 30));
            insert.addBindValue(i % 3 ? QStringLiteral("半糖少冰") : QString());
            insert.addBindValue(QStringLiteral("同事%1").arg(i % 60));
            insert.addBindValue(day.toString(Qt::ISODate));
            insert.addBindValue(QTime(8 + i % 10, i % 60).toString(QStringLiteral("HH:mm")));
            if (!insert.exec()) qFatal("insert failed");
        }
        db.commit();
        session.signIn(QStringLiteral("同事1"), 0);
        page = std::make_unique<SummaryPage>(
            SummaryPage::Data{*data.ADODataSet2, *data.DataSource4, *data.ADOQuery_GET, *data.ADOConnection1},
            session, exportFolder());
        grid = page->findChild<TSMDBGrid *>(QStringLiteral("SMDBGrid4"));
        total = page->findChild<QLabel *>(QStringLiteral("Panel1"));
        exportButton = page->findChild<QPushButton *>(QStringLiteral("Button2"));
        page->show();
        QApplication::processEvents();
    }

    QTemporaryDir m_dir;
    int m_runs = 0;
};

// The engine alone: the day's listing sorted by shop and its sum, every value read.
void BM_EngineDayQueries(benchmark::State &state) {
    Scene &s = Scene::get();
    sqlite3 *h = s.data.ADOConnection1->handle();
    sqlite3_stmt *list = nullptr, *sum = nullptr;
    sqlite3_prepare_v2(h, "select * from ordern where ord_date = ? order by ord_mer ASC", -1, &list, nullptr);
    sqlite3_prepare_v2(h, "Select Sum(ord_pric) From ordern where ord_date = ?", -1, &sum, nullptr);
    const QByteArray day = kDay.toString(Qt::ISODate).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        sqlite3_bind_text(list, 1, day.constData(), int(day.size()), SQLITE_STATIC);
        while (sqlite3_step(list) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(list); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(list, c));
            ++rows;
        }
        sqlite3_reset(list);
        sqlite3_bind_text(sum, 1, day.constData(), int(day.size()), SQLITE_STATIC);
        sqlite3_step(sum);
        benchmark::DoNotOptimize(sqlite3_column_int64(sum, 0));
        sqlite3_reset(sum);
    }
    sqlite3_finalize(list);
    sqlite3_finalize(sum);
    if (rows != kLinesPerDay) state.SkipWithError("the day does not hold its lines");
}
BENCHMARK(BM_EngineDayQueries)->Unit(benchmark::kMillisecond);

// Entering the page: picker set to today, the day listed, its total written, rights set and
// the grid painted.
void BM_PageEntry(benchmark::State &state) {
    Scene &s = Scene::get();
    for (auto _ : state) {
        s.page->enter();
        s.grid->viewport()->repaint();
    }
    if (s.data.ADODataSet2->recordCount() != kLinesPerDay ||
        !s.total->text().endsWith(QStringLiteral(" 元")) || !s.dialogs.shown().isEmpty())
        state.SkipWithError("the day is not listed");
}
BENCHMARK(BM_PageEntry)->Unit(benchmark::kMillisecond);

// Exporting the day: the select, the workbook built and written to a new file on the disk.
void BM_ExportDay(benchmark::State &state) {
    Scene &s = Scene::get();
    s.freshExportFolder();
    s.page->enter();
    QDateTime moment(kDay, QTime(13, 0));
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        moment = moment.addSecs(60);
        s.clock.set(moment);
        state.ResumeTiming();
        s.exportButton->click();
    }
    const QFileInfo last(
        QDir(s.exportFolder())
            .filePath(moment.toString(QStringLiteral("yyyyMMddHHmm")) + QStringLiteral(".xls")));
    bytes = last.size();
    if (!last.exists() || !s.dialogs.shown().isEmpty()) state.SkipWithError("the export failed");
    state.counters["file_kB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_ExportDay)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Scene::release();
    return 0;
}
