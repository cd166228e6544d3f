// Start-up to the first painted window: TForm1 built in the database's folder (connecting and
// opening the menu list and the accounts), shown, and painted once. On an empty file and on a
// large one; the first start of the process (fonts, pictures) is left to the warm-up run.
#include "Schema.h"
#include "ScriptedDialogs.h"
#include "TForm1.h"

#include <QApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kMenuItems = 100000;
constexpr int kAccounts = 10000;

//! A folder with a kelvaro.mdb of `menuItems` items and `accounts` accounts.
class DatabaseFolder {
public:
    DatabaseFolder(int menuItems, int accounts) {
        const QString path = m_dir.filePath(QStringLiteral("kelvaro.mdb"));
        Schema::createDatabase(path);
        const QString name = QStringLiteral("fill-%1").arg(menuItems);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            db.transaction();
            QSqlQuery menu(db);
            menu.prepare(
                QStringLiteral("INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) "
                               "VALUES (?, ?, ?, ?, ?)"));
            for (int i = 0; i < menuItems; ++i) {
                menu.addBindValue(QStringLiteral("飲料店%1號").arg(i % 200));
                menu.addBindValue(QStringLiteral("茶類%1").arg(i % 7));
                menu.addBindValue(QStringLiteral("招牌飲品%1").arg(i));
                menu.addBindValue(QStringLiteral("中"));
                menu.addBindValue(25 + i % 50);
                menu.exec();
            }
            QSqlQuery customer(db);
            customer.prepare(
                QStringLiteral("INSERT INTO customer (cus_number, cus_name, cus_password, cus_group, "
                               "cus_leve) VALUES (?, ?, ?, ?, ?)"));
            for (int i = 0; i < accounts; ++i) {
                customer.addBindValue(QStringLiteral("user%1").arg(i));
                customer.addBindValue(QStringLiteral("使用者%1").arg(i % 1000));
                customer.addBindValue(QStringLiteral("pw%1").arg(i));
                customer.addBindValue(QStringLiteral("業務部"));
                customer.addBindValue(i % 4 == 3 ? 3 : 0);
                customer.exec();
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

void startUp(benchmark::State &state, const DatabaseFolder &folder) {
    ScriptedDialogs dialogs;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    for (auto _ : state) {
        auto form = std::make_unique<TForm1>();
        form->show();
        // No timed waits: events are handled until the window is exposed, then it paints.
        while (!form->windowHandle()->isExposed())
            QApplication::processEvents();
        form->repaint();
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (!dialogs.shown().isEmpty()) state.SkipWithError("start-up reported an error");
    QDir::setCurrent(previous);
}

void BM_StartUpEmptyFile(benchmark::State &state) {
    static const DatabaseFolder folder(0, 0);
    startUp(state, folder);
}
BENCHMARK(BM_StartUpEmptyFile)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

void BM_StartUpLargeFile(benchmark::State &state) {
    static const DatabaseFolder folder(kMenuItems, kAccounts);
    startUp(state, folder);
}
BENCHMARK(BM_StartUpLargeFile)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

// The first start of a process, as a user sees it: run each alone
// (--benchmark_filter=BM_FirstStartUp.*Large) so that nothing before it warmed anything up.
void BM_FirstStartUpEmptyFile(benchmark::State &state) {
    static const DatabaseFolder folder(0, 0);
    startUp(state, folder);
}
BENCHMARK(BM_FirstStartUpEmptyFile)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FirstStartUpLargeFile(benchmark::State &state) {
    static const DatabaseFolder folder(kMenuItems, kAccounts);
    startUp(state, folder);
}
BENCHMARK(BM_FirstStartUpLargeFile)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
