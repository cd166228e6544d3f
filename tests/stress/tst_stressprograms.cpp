// The reliability programs as people run them: --help answers at once and makes nothing, a wrong
// option is refused, and a run interrupted (Ctrl+C, a kill, kill -9) leaves no folder and no
// process behind.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

//! The processes whose command line names `text` (the run's children name its folder).
QStringList processesNaming(const QString &text) {
    QStringList found;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmdline(proc.filePath(pid + QStringLiteral("/cmdline")));
        if (pid.toInt() > 0 && cmdline.open(QIODevice::ReadOnly)) {
            const QByteArray line = cmdline.readAll().replace('\0', ' ');
            if (line.contains(text.toUtf8())) found << pid + QLatin1Char(' ') + QString::fromUtf8(line);
        }
    }
    return found;
}

//! Waits up to `ms` for `done`.
bool waitFor(const std::function<bool()> &done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

} // namespace

class TestStressPrograms : public QObject {
    Q_OBJECT
private slots:
    void helpAndInterruptedRuns_data();
    void helpAndInterruptedRuns();
};

void TestStressPrograms::helpAndInterruptedRuns_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("interruption");
    QTest::newRow("stress_copies, Ctrl+C") << QStringLiteral(STRESS_COPIES) << int(SIGINT);
    QTest::newRow("stress_crash, killed") << QStringLiteral(STRESS_CRASH) << int(SIGTERM);
    QTest::newRow("stress_faults, kill -9") << QStringLiteral(STRESS_FAULTS) << int(SIGKILL);
}

void TestStressPrograms::helpAndInterruptedRuns() {
    QFETCH(QString, program);
    QFETCH(int, interruption);
    // The programs make their folders in TMPDIR: a private one shows what they leave.
    QTemporaryDir tmp;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), tmp.path());
    const auto left = [&] {
        return QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };

    QProcess help;
    help.setProcessEnvironment(environment);
    QElapsedTimer t;
    t.start();
    help.start(program, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(10000));
    QCOMPARE(help.exitCode(), 0);
    QVERIFY(help.readAllStandardOutput().startsWith("Usage: " + QFileInfo(program).fileName().toUtf8()));
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(left(), QStringList());

    QProcess wrong;
    wrong.setProcessEnvironment(environment);
    wrong.start(program, {QStringLiteral("--rounds-of-golf")});
    QVERIFY(wrong.waitForFinished(10000));
    QCOMPARE(wrong.exitCode(), 2);
    QVERIFY(wrong.readAllStandardError().contains("Usage: "));
    QCOMPARE(left(), QStringList());

    // A full run, interrupted once it has made its folder.
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setStandardOutputFile(QProcess::nullDevice());
    run.setStandardErrorFile(QProcess::nullDevice());
    run.start(program, QStringList());
    QVERIFY(run.waitForStarted());
    QVERIFY(waitFor([&] { return !left().isEmpty() || run.state() == QProcess::NotRunning; }, 20000));
    ::kill(pid_t(run.processId()), interruption);
    QVERIFY(run.waitForFinished(10000));
    QVERIFY2(waitFor([&] { return left().isEmpty(); }, 10000), qPrintable(left().join(u' ')));
    QVERIFY2(waitFor([&] { return processesNaming(tmp.path()).isEmpty(); }, 10000),
             qPrintable(processesNaming(tmp.path()).join(u'\n')));
}

QTEST_GUILESS_MAIN(TestStressPrograms)
#include "tst_stressprograms.moc"
