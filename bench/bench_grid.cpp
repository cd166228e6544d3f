// Scrolling the item grid over 100,000 menu items: the time of one repaint after each step,
// plain and with the odd-row shading handler, and the time to bind and show the grid.
#include "Connection.h"
#include "DataSource.h"
#include "Dataset.h"
#include "Field.h"
#include "Schema.h"
#include "TSMDBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 100000;

//! One database, one open dataset and one shown grid for the whole run.
class Scene {
public:
    static Scene &get() {
        if (!instance()) instance().reset(new Scene);
        return *instance();
    }

    //! Destroys the scene (its window and grid) while the application object still lives.
    static void release() { instance().reset(); }

    Connection connection;
    Dataset items{QStringLiteral("ADOQuery2")};
    DataSource source;
    std::unique_ptr<QWidget> window;
    TSMDBGrid *grid = nullptr;

private:
    static std::unique_ptr<Scene> &instance() {
        static std::unique_ptr<Scene> scene;
        return scene;
    }

    Scene() {
        const QString path = m_dir.filePath(QStringLiteral("kelvaro.mdb"));
        Schema::createDatabase(path);
        connection.setDatabaseFile(path);
        connection.open();
        QSqlDatabase db = connection.database();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                           "VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < kRows; ++i) {
            insert.addBindValue(QStringLiteral("飲料店%1號").arg(i % 200));
            insert.addBindValue(QStringLiteral("茶類"));
            insert.addBindValue(QStringLiteral("招牌飲品%1").arg(i));
            insert.addBindValue(QStringLiteral("中"));
            insert.addBindValue(25 + i % 50);
            insert.exec();
        }
        db.commit();
        items.setConnection(&connection);
        items.statement().add(QStringLiteral("select men_name, men_cap, men_price from menu"));
        items.setFieldDefs({{QStringLiteral("men_name"), QStringLiteral("飲料名稱"), 30, true, false},
                            {QStringLiteral("men_cap"), QStringLiteral("杯量"), 6, true, false},
                            {QStringLiteral("men_price"), QStringLiteral("售價"), 0, true, false}});
        source.setDataset(&items);
        items.open();
        window = std::make_unique<QWidget>();
        window->resize(640, 420);
        grid = TSMDBGrid::place(QStringLiteral("SMDBGrid3"), &source, window.get(), GridSettings::tickMany());
        grid->setGeometry(216, 0, 401, 305);
        window->show();
        QApplication::processEvents();
    }

    QTemporaryDir m_dir;
};

void shade(bool on) {
    Scene &s = Scene::get();
    QObject::disconnect(s.grid, &TSMDBGrid::OnGetCellParams, nullptr, nullptr);
    if (!on) return;
    Dataset *items = &s.items;
    QObject::connect(
        s.grid, &TSMDBGrid::OnGetCellParams, s.grid,
        [items](TSMDBGrid *, Field *, QFont &, QColor &, QColor &background, bool) {
            if (items->recNo() % 2 == 1) background = QColor(0xC0, 0xDC, 0xC0);
        },
        Qt::DirectConnection);
}

// One record down per step (the wheel, the Down key), then a synchronous repaint.
void BM_ScrollByOneRecord(benchmark::State &state) {
    Scene &s = Scene::get();
    shade(state.range(0) != 0);
    s.items.first();
    for (auto _ : state) {
        if (s.items.moveBy(1) == 0) s.items.first();
        s.grid->viewport()->repaint();
        s.grid->verticalHeader()->viewport()->repaint();
    }
    state.SetLabel(state.range(0) ? "shaded" : "plain");
}
BENCHMARK(BM_ScrollByOneRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Far jumps across the whole dataset (Ctrl+End, dragging), then a synchronous repaint.
void BM_JumpFar(benchmark::State &state) {
    Scene &s = Scene::get();
    shade(true);
    int recNo = 1;
    for (auto _ : state) {
        recNo = (recNo + 37337) % kRows + 1;
        s.items.setRecNo(recNo);
        s.grid->viewport()->repaint();
        s.grid->verticalHeader()->viewport()->repaint();
    }
}
BENCHMARK(BM_JumpFar)->Unit(benchmark::kMicrosecond);

// Reopening the dataset under a shown grid (the refresh-data operation), repaint included.
void BM_RefreshData(benchmark::State &state) {
    Scene &s = Scene::get();
    shade(true);
    s.items.setRecNo(kRows / 2);
    for (auto _ : state) {
        s.grid->refreshData();
        s.grid->viewport()->repaint();
    }
}
BENCHMARK(BM_RefreshData)->Unit(benchmark::kMillisecond)->Iterations(5);

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
