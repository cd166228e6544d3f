// The platform layer: the real dialogs' captions and buttons, the handler guard, the clock and
// locale interfaces and the input-method request.
#include "Clock.h"
#include "DbError.h"
#include "Dialogs.h"
#include "FixedClock.h"
#include "FixedLocale.h"
#include "HandlerGuard.h"
#include "InputMethod.h"
#include "Locale.h"
#include "ScriptedDialogs.h"
#include "SystemLocale.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void realDialogs();
    void guardReportsWhatNoHandlerCatches();
    void guardedConnectionGoesOn();
    void clockInstallsAndRestores();
    void localeFormatsOfSystemLocales();
    void localeInstallsAndRestores();
    void inputMethodRequestKeepsTheEditWorking();

private:
    static SeenBox runBox(QMessageBox::StandardButton answer, const std::function<void()> &show);
};

void TestPlatform::initTestCase() {
    QApplication::setApplicationName(QStringLiteral("Kelvaro"));
}

SeenBox TestPlatform::runBox(QMessageBox::StandardButton answer, const std::function<void()> &show) {
    SeenBox seen;
    QTimer::singleShot(0, [&seen, answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = {box->windowTitle(), box->text(), box->standardButtons(), box->icon()};
        box->button(answer)->click();
    });
    show();
    return seen;
}

void TestPlatform::realDialogs() {
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Dialogs &d = Dialogs::current();

    SeenBox box = runBox(QMessageBox::Ok, [&] { d.message(QStringLiteral("帳號已新增")); });
    QCOMPARE(box.title, QStringLiteral("Kelvaro"));
    QCOMPARE(box.text, QStringLiteral("帳號已新增"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    bool answer = true;
    box = runBox(QMessageBox::No,
                 [&] { answer = d.askYesNo(QStringLiteral("刪除？"), QStringLiteral("問題")); });
    QCOMPARE(box.title, QStringLiteral("問題"));
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!answer);

    box = runBox(QMessageBox::Ok, [&] { answer = d.confirm(QStringLiteral("Delete record?")); });
    QCOMPARE(box.title, QStringLiteral("Confirm"));
    QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(answer);
    box = runBox(QMessageBox::Cancel, [&] { answer = d.confirm(QStringLiteral("Delete record?")); });
    QVERIFY(!answer);

    box = runBox(QMessageBox::Ok, [&] { d.error(QStringLiteral("no such table: menu")); });
    QCOMPARE(box.title, QStringLiteral("Kelvaro"));
    QCOMPARE(box.text, QStringLiteral("no such table: menu"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestPlatform::guardReportsWhatNoHandlerCatches() {
    ScriptedDialogs dialogs;
    QVERIFY(HandlerGuard::run([] {}));
    QVERIFY(dialogs.shown().isEmpty());

    QVERIFY(!HandlerGuard::run([] { throw DbError(QStringLiteral("no such table: menu"), 1); }));
    QVERIFY(!HandlerGuard::run([] { throw std::runtime_error("disk full"); }));
    QVERIFY(!HandlerGuard::run([] { throw 42; }));
    QCOMPARE(dialogs.shown().size(), 3);
    for (const ScriptedDialogs::Shown &s : dialogs.shown())
        QCOMPARE(s.kind, ScriptedDialogs::Kind::Error);
    QCOMPARE(dialogs.shown().at(0).text, QStringLiteral("no such table: menu"));
    QCOMPARE(dialogs.shown().at(1).text, QStringLiteral("disk full"));
    QVERIFY(!dialogs.shown().at(2).text.isEmpty());

    // A handler that catches its own failure reports nothing through the guard.
    QVERIFY(HandlerGuard::run([] {
        try {
            throw DbError(QStringLiteral("busy"));
        } catch (const DbError &) {
        }
    }));
    QCOMPARE(dialogs.shown().size(), 3);
}

void TestPlatform::guardedConnectionGoesOn() {
    ScriptedDialogs dialogs;
    QPushButton button(QStringLiteral("go"));
    int runs = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, HandlerGuard::wrap([&runs] {
        ++runs;
        if (runs == 1)
            throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
    }));
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(runs, 2);
    QCOMPARE(dialogs.texts(),
             QStringList{QStringLiteral("Operation is not allowed when the connection is closed.")});
}

void TestPlatform::clockInstallsAndRestores() {
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime systemNow = Clock::current().now();
    QVERIFY(qAbs(before.secsTo(systemNow)) <= 2);
    {
        const QDateTime midnight(QDate(2026, 12, 31), QTime(23, 59, 59));
        FixedClock clock(midnight);
        QCOMPARE(Clock::current().now(), midnight);
        clock.set(midnight.addSecs(1));
        QCOMPARE(Clock::current().now().date(), QDate(2027, 1, 1));
    }
    QVERIFY(qAbs(QDateTime::currentDateTime().secsTo(Clock::current().now())) <= 2);
}

void TestPlatform::localeFormatsOfSystemLocales() {
    const LocaleFormats german = SystemLocale::formatsOf(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(german.dateSeparator, QLatin1Char('.'));
    QCOMPARE(german.timeSeparator, QLatin1Char(':'));
    QCOMPARE(QDate(2026, 12, 9).toString(german.shortDateFormat).left(6), QStringLiteral("09.12."));

    const LocaleFormats taiwan = SystemLocale::formatsOf(QLocale(QLocale::Chinese, QLocale::Taiwan));
    QCOMPARE(taiwan.dateSeparator, QLatin1Char('/'));
    QVERIFY(QDate(2026, 12, 9).toString(taiwan.shortDateFormat).startsWith(QStringLiteral("2026/12/9")));

    const LocaleFormats finnish = SystemLocale::formatsOf(QLocale(QLocale::Finnish, QLocale::Finland));
    QCOMPARE(finnish.timeSeparator, QLatin1Char('.'));

    const LocaleFormats usa = SystemLocale::formatsOf(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(usa.dateSeparator, QLatin1Char('/'));
    QCOMPARE(QDate(2026, 12, 9).toString(usa.shortDateFormat), QStringLiteral("12/9/26"));
}

void TestPlatform::localeInstallsAndRestores() {
    const LocaleFormats system = Locale::current().formats();
    {
        LocaleFormats dotted;
        dotted.shortDateFormat = QStringLiteral("dd.MM.yyyy");
        dotted.dateSeparator = QLatin1Char('.');
        dotted.timeSeparator = QLatin1Char('.');
        FixedLocale locale(dotted);
        QCOMPARE(Locale::current().formats().shortDateFormat, QStringLiteral("dd.MM.yyyy"));
        QCOMPARE(Locale::current().formats().timeSeparator, QLatin1Char('.'));
    }
    QCOMPARE(Locale::current().formats().shortDateFormat, system.shortDateFormat);
}

void TestPlatform::inputMethodRequestKeepsTheEditWorking() {
    QWidget window;
    auto *first = new QLineEdit(&window);
    auto *edit = new QLineEdit(&window);
    InputMethod::attach(edit);
    InputMethod::attach(nullptr);
    QCOMPARE(InputMethod::preferredName(), QStringLiteral("中文 (繁體) - 新注音"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QCOMPARE(edit->text(), QStringLiteral("abc"));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
