// The catalog page over 100,000 menu items of 1,000 shops (100 items each: 50 teas and 50 in
// nine other categories), through its real widgets: one keystroke in the shop box (category
// list and item list rebuilt, both grids repainted), one category change (item list rebuilt
// and repainted), and adding 50 ticked items to the order (50 lines stored, the list reopened).
#include "CatalogPage.h"
#include "Dataset.h"
#include "FormData.h"
#include "Schema.h"
#include "ScriptedDialogs.h"
#include "Session.h"
#include "TColorButton.h"
#include "TSMDBGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kShops = 1000;
constexpr int kItemsPerShop = 100;
constexpr int kTeasPerShop = 50;

QString shopName(int i) {
    return QStringLiteral("飲料店%1號").arg(i, 4, 10, QLatin1Char('0'));
}

//! One database, one form's data and one shown catalog page for the whole run.
class Scene {
public:
    static Scene &get() {
        if (!instance()) instance().reset(new Scene);
        return *instance();
    }
    //! The page and its data go while the application still exists.
    static void release() { instance().reset(); }

    ScriptedDialogs dialogs;
    FormData data;
    Session session;
    std::unique_ptr<CatalogPage> page;
    QComboBox *shop = nullptr;
    TSMDBGrid *categories = nullptr;
    TSMDBGrid *items = nullptr;
    TColorButton *add = nullptr;

    void repaint() {
        categories->viewport()->repaint();
        items->viewport()->repaint();
    }

private:
    static std::unique_ptr<Scene> &instance() {
        static std::unique_ptr<Scene> scene;
        return scene;
    }

    Scene() {
        const QString path = m_dir.filePath(QStringLiteral("kelvaro.mdb"));
        Schema::createDatabase(path);
        data.ADOConnection1->setDatabaseFile(path);
        data.load([](const QString &message) { qFatal("%s", qPrintable(message)); });
        QSqlDatabase db = data.ADOConnection1->database();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                           "VALUES (?, ?, ?, ?, ?)"));
        for (int i = 0; i < kShops * kItemsPerShop; ++i) {
            const int shop = i / kItemsPerShop, item = i % kItemsPerShop;
            insert.addBindValue(shopName(shop));
            insert.addBindValue(item < kTeasPerShop ? QStringLiteral("茶類")
                                                    : QStringLiteral("類別%1").arg(item % 9));
            insert.addBindValue(QStringLiteral("招牌飲品%1").arg(item));
            insert.addBindValue(QStringLiteral("中"));
            insert.addBindValue(25 + item % 50);
            insert.exec();
        }
        db.commit();
        session.signIn(QStringLiteral("艾米"), 0);
        page = std::make_unique<CatalogPage>(CatalogPage::Data{*data.ADOQuery1, *data.DataSource2,
                                                               *data.ADOQuery2, *data.DataSource3,
                                                               *data.ADOQuery_GET, *data.ADOQuery_SET},
                                             session);
        shop = page->findChild<QComboBox *>(QStringLiteral("CB1"));
        categories = page->findChild<TSMDBGrid *>(QStringLiteral("SMDBGrid2"));
        items = page->findChild<TSMDBGrid *>(QStringLiteral("SMDBGrid3"));
        add = page->findChild<TColorButton *>(QStringLiteral("ColorButton1"));
        page->show();
        QApplication::processEvents();
    }

    QTemporaryDir m_dir;
};

// One change of the shop box's text, as one keystroke makes it: the categories of the shop
// and the items of its first category listed, both grids repainted.
void BM_ShopKeystroke(benchmark::State &state) {
    Scene &s = Scene::get();
    // The walk through the shops goes on from run to run, so that no keystroke types the shop
    // the box already shows (which would change nothing).
    static int next = 0;
    int idle = 0;
    for (auto _ : state) {
        const QString shop = shopName((next++ * 37) % kShops);
        idle += s.shop->currentText() == shop;
        s.shop->setEditText(shop);
        s.repaint();
    }
    if (idle > 0) state.SkipWithError("a keystroke typed the shop shown already");
    if (s.data.ADOQuery1->recordCount() != 10 || s.data.ADOQuery2->isEmpty())
        state.SkipWithError("the shop's lists are not as built");
}
BENCHMARK(BM_ShopKeystroke)->Unit(benchmark::kMillisecond);

// Moving to another category: the item list rebuilt and repainted.
void BM_CategoryChange(benchmark::State &state) {
    Scene &s = Scene::get();
    s.shop->setEditText(shopName(500));
    Dataset &categories = *s.data.ADOQuery1;
    for (auto _ : state) {
        if (categories.recNo() >= categories.recordCount())
            categories.first();
        else
            categories.next();
        s.items->viewport()->repaint();
    }
}
BENCHMARK(BM_CategoryChange)->Unit(benchmark::kMillisecond);

// Fifty ticked items added to the order: 50 lines, each its own insert, then the refresh.
void BM_AddFiftyItems(benchmark::State &state) {
    Scene &s = Scene::get();
    s.shop->setEditText(shopName(7));
    Dataset &categories = *s.data.ADOQuery1;
    for (categories.first(); !categories.eof(); categories.next())
        if (categories.field(0)->asString() == QStringLiteral("茶類")) break;
    for (auto _ : state) {
        state.PauseTiming();
        s.items->selectAllRecords();
        state.ResumeTiming();
        s.add->click();
    }
    if (!s.dialogs.shown().isEmpty() || s.items->selectedRows().count() != 0 ||
        s.data.ADOQuery2->recordCount() != kTeasPerShop)
        state.SkipWithError("adding failed");
    state.counters["lines_per_click"] = kTeasPerShop;
}
BENCHMARK(BM_AddFiftyItems)->Unit(benchmark::kMillisecond)->Iterations(10);

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
