// Crashes: a writer process stores order lines through the program's own statement and is
// killed (SIGKILL) at a random moment, round after round, on one file. After each round
// `kelvaro-admin check` must call the file sound, every line the writer reported as stored
// must be there exactly once, and at most the one line in flight may be there unreported.
//
//   stress_crash [--rounds N] [--seed S]
//   (defaults: 200 rounds, a seed from the clock)
#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "StressSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <random>

namespace {

const char *const usage =
    "Usage: stress_crash [--rounds N] [--seed S]\n"
    "Crashes during writes: round after round (200), a writer process stores order lines on one\n"
    "file and is killed with SIGKILL at a random moment; after each round kelvaro-admin check must\n"
    "call the file sound, and every line reported stored must be there exactly once.\n"
    "Prints its figures at the end and exits with 1 when anything was lost, stored twice or broken.\n\n"
    "  --rounds N   rounds of writing and killing\n"
    "  --seed S     the seed of the random moments (default: from the clock), to run a round again\n"
    "  --help       show this help\n";

const QString crashUser = QStringLiteral("crash");

QString noteOf(int round, int insert) {
    return QStringLiteral("r%1-%2").arg(round).arg(insert);
}

// The writer: "ready", then "done INSERT" after each stored line, until it is killed.
int writer(const QString &path, int round) {
    auto c = Stress::connect(path);
    auto query = Stress::insertQuery(*c);
    Stress::say(QStringLiteral("ready"));
    for (int i = 0;; ++i) {
        Stress::storeLine(*query, crashUser, noteOf(round, i));
        Stress::say(QStringLiteral("done %1").arg(i));
    }
}

int run(int rounds, quint32 seed) {
    Stress::Report report(QStringLiteral("Crashes during writes (kill -9)"));
    const Stress::RunFolder dir;
    const QString path = Stress::makeDatabase(dir.path());
    std::mt19937 random(seed);

    qint64 reported = 0, missing = 0, duplicated = 0, inFlight = 0, extra = 0;
    int hotJournals = 0, rolledBack = 0, checkFalse = 0, corrupt = 0, neverWrote = 0;
    QString firstCheckMessage;
    QElapsedTimer wall;
    wall.start();
    for (int round = 0; round < rounds; ++round) {
        auto child = Stress::startSelf({QStringLiteral("--writer"), path, QString::number(round)});
        // Let the first insert through to learn how long one takes here, then kill within the
        // next two: before, inside or after a commit, at random.
        QByteArray output;
        QElapsedTimer insertTime;
        while (!output.contains("ready") && child->waitForReadyRead(30000))
            output += child->readAllStandardOutput();
        insertTime.start();
        while (!output.contains("done") && child->waitForReadyRead(30000))
            output += child->readAllStandardOutput();
        if (!output.contains("done")) ++neverWrote;
        std::uniform_int_distribution<qint64> pause(0, qMax<qint64>(10, 2 * insertTime.elapsed()));
        QThread::msleep(ulong(pause(random)));
        child->kill();
        child->waitForFinished(-1);
        output += child->readAllStandardOutput();
        report.check(child->exitStatus() == QProcess::CrashExit,
                     QStringLiteral("round %1: the writer was still writing when killed").arg(round));

        QSet<int> done;
        QTextStream out(output);
        QString line;
        while (out.readLineInto(&line))
            if (line.startsWith(QLatin1String("done "))) done.insert(line.mid(5).toInt());
        reported += done.size();
        if (QFile::exists(path + QStringLiteral("-journal"))) ++hotJournals;

        // The administrator's check first: it meets the file exactly as the crash left it.
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(QStringLiteral(KELVARO_ADMIN), {QStringLiteral("check"), path});
        check.waitForFinished(-1);
        const QByteArray checkOutput = check.readAll();
        if (checkOutput.contains("rolled back")) ++rolledBack;
        if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0) {
            ++checkFalse;
            if (firstCheckMessage.isEmpty()) firstCheckMessage = QString::fromUtf8(checkOutput).simplified();
        }

        auto c = Stress::connect(path);
        if (Stress::integrity(*c) != QLatin1String("ok")) ++corrupt;
        const QHash<QString, int> stored = Stress::storedTags(*c);
        int storedThisRound = 0;
        for (int i : done) {
            const int count = stored.value(crashUser + QLatin1Char('/') + noteOf(round, i));
            if (count == 0) ++missing;
            if (count > 1) duplicated += count - 1;
        }
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            if (it.key().startsWith(crashUser + QStringLiteral("/r%1-").arg(round)))
                storedThisRound += it.value();
        const int unreported = storedThisRound - int(done.size());
        if (unreported == 1) ++inFlight;
        if (unreported > 1) extra += unreported - 1;
    }

    report.figure(QStringLiteral("rounds"), rounds);
    report.figure(QStringLiteral("seed"), QString::number(seed));
    report.figure(QStringLiteral("inserts reported stored"), reported);
    report.figure(QStringLiteral("reported but missing"), missing);
    report.figure(QStringLiteral("stored twice"), duplicated);
    report.figure(QStringLiteral("in flight at the kill, stored"), inFlight);
    report.figure(QStringLiteral("stored beyond the one in flight"), extra);
    report.figure(QStringLiteral("rounds leaving a journal behind"), hotJournals);
    report.figure(QStringLiteral("writes cut short that check rolled back"), rolledBack);
    report.figure(QStringLiteral("kelvaro-admin check false"), checkFalse);
    if (!firstCheckMessage.isEmpty()) report.figure(QStringLiteral("first check message"), firstCheckMessage);
    report.figure(QStringLiteral("corrupt files"), corrupt);
    report.figure(QStringLiteral("time"), QStringLiteral("%1 s").arg(wall.elapsed() / 1000.0, 0, 'f', 1));

    report.check(neverWrote == 0, QStringLiteral("%1 writers never stored a line").arg(neverWrote));
    report.check(missing == 0, QStringLiteral("%1 reported inserts missing").arg(missing));
    report.check(duplicated == 0, QStringLiteral("%1 rows stored twice").arg(duplicated));
    report.check(extra == 0, QStringLiteral("%1 rows stored that no writer had begun").arg(extra));
    report.check(corrupt == 0, QStringLiteral("%1 corrupt files").arg(corrupt));
    report.check(checkFalse == 0,
                 QStringLiteral("kelvaro-admin check failed after %1 crashes").arg(checkFalse));
    return report.finish();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("--writer")) {
            Stress::endWithParent();
            return writer(args.value(1), args.value(2).toInt());
        }
        QHash<QString, QString> options;
        int exitCode = 0;
        if (!Stress::readOptions(args, {QStringLiteral("--rounds"), QStringLiteral("--seed")}, {}, usage,
                                 &options, &exitCode))
            return exitCode;
        const quint32 seed = options.contains(QStringLiteral("--seed"))
                                 ? options.value(QStringLiteral("--seed")).toUInt()
                                 : quint32(QDateTime::currentMSecsSinceEpoch());
        return run(qMax(1, options.value(QStringLiteral("--rounds"), QStringLiteral("200")).toInt()), seed);
    } catch (const DbError &e) {
        std::fprintf(stderr, "stress_crash: %s\n", qPrintable(e.message()));
        return 1;
    }
}
