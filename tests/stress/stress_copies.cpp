// Many copies on one file: writer processes store order lines through the program's own
// statement as fast as they can while a reader process lists the day's order over and over.
// Afterwards every line reported as stored is there exactly once, every reported failure
// stored nothing, nothing else is there, and the file passes the integrity check.
//
//   stress_copies [--writers N] [--inserts M] [--postgresql]
//   (defaults: 8 writers, 2,000 inserts each, on a file; --postgresql: on a database of a
//   private PostgreSQL cluster instead)
#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "StressSupport.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <vector>

namespace {

const char *const usage =
    "Usage: stress_copies [--writers N] [--inserts M] [--postgresql]\n"
    "Many copies on one database: N writer processes (8) store M order lines each (2,000) through\n"
    "the program's own statement while a reader lists the day's order over and over; then every\n"
    "line reported stored must be there exactly once and the file must pass the integrity check.\n"
    "Prints its figures at the end and exits with 1 when anything was lost, stored twice or broken.\n\n"
    "  --writers N    writer processes\n"
    "  --inserts M    order lines each writer stores\n"
    "  --postgresql   on a database of a private PostgreSQL cluster instead of a file\n"
    "  --help         show this help\n";

QString userOf(int writer) {
    return QStringLiteral("copy%1").arg(writer);
}
QString noteOf(int insert) {
    return QStringLiteral("n%1").arg(insert);
}

// A writer: "ok INSERT MICROSECONDS" or "fail INSERT MICROSECONDS MESSAGE" per insert.
int writer(const QString &path, int id, int inserts) {
    auto c = Stress::connect(path);
    auto query = Stress::insertQuery(*c);
    QElapsedTimer clock;
    for (int i = 0; i < inserts; ++i) {
        clock.start();
        try {
            Stress::storeLine(*query, userOf(id), noteOf(i));
            Stress::say(QStringLiteral("ok %1 %2").arg(i).arg(clock.nsecsElapsed() / 1000));
        } catch (const DbError &e) {
            Stress::say(
                QStringLiteral("fail %1 %2 %3").arg(i).arg(clock.nsecsElapsed() / 1000).arg(e.message()));
        }
    }
    return 0;
}

// A reader: lists the day's lines as the summary page does until `stop` exists. Reports
// "reads N failures F longest MICROSECONDS shrunk S" (S: listings shorter than an earlier one).
int reader(const QString &path, const QString &stop) {
    auto c = Stress::connect(path);
    Dataset listing(QStringLiteral("ADODataSet2"));
    listing.setConnection(c.get());
    listing.statement().add(QStringLiteral("select * from ordern"));
    listing.statement().add(QStringLiteral("ORDER BY ord_mer"));
    qint64 reads = 0, failures = 0, longest = 0, shrunk = 0;
    int seen = 0;
    QElapsedTimer clock;
    while (!QFileInfo::exists(stop)) {
        clock.start();
        try {
            listing.close();
            listing.open();
            const int count = listing.recordCount();
            listing.close();
            if (count < seen) ++shrunk;
            seen = qMax(seen, count);
            ++reads;
        } catch (const DbError &e) {
            ++failures;
            std::fprintf(stderr, "reader: %s\n", qPrintable(e.message()));
        }
        longest = qMax(longest, clock.nsecsElapsed() / 1000);
    }
    Stress::say(QStringLiteral("reads %1 failures %2 longest %3 shrunk %4")
                    .arg(reads)
                    .arg(failures)
                    .arg(longest)
                    .arg(shrunk));
    return 0;
}

QString ms(qint64 microseconds) {
    return QStringLiteral("%1 ms").arg(double(microseconds) / 1000.0, 0, 'f', 1);
}

int run(int writers, int inserts, bool server) {
    Stress::Report report(server ? QStringLiteral("Many copies on one PostgreSQL database")
                                 : QStringLiteral("Many copies on one file"));
    const Stress::RunFolder dir;
    std::unique_ptr<TestDatabase> serverDatabase;
    if (server) serverDatabase = std::make_unique<TestDatabase>(EngineKind::Postgres);
    const QString path = server ? serverDatabase->path() : Stress::makeDatabase(dir.path());
    const QString stop = dir.filePath(QStringLiteral("stop"));

    auto readerProcess = Stress::startSelf({QStringLiteral("--reader"), path, stop});
    std::vector<std::unique_ptr<QProcess>> children;
    QElapsedTimer wall;
    wall.start();
    for (int w = 0; w < writers; ++w)
        children.push_back(Stress::startSelf(
            {QStringLiteral("--writer"), path, QString::number(w), QString::number(inserts)}));
    for (auto &child : children)
        child->waitForFinished(-1);
    const qint64 elapsed = wall.elapsed();
    QFile(stop).open(QIODevice::WriteOnly);
    readerProcess->waitForFinished(-1);

    // What each writer reported, against what the file holds.
    auto c = Stress::connect(path);
    const QHash<QString, int> stored = Stress::storedTags(*c);
    qint64 ok = 0, failed = 0, lost = 0, duplicated = 0, failedButStored = 0, unreported = 0;
    qint64 longest = 0, total = 0;
    QStringList messages;
    for (int w = 0; w < writers; ++w) {
        QProcess &child = *children[size_t(w)];
        report.check(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     QStringLiteral("writer %1 ended normally").arg(w));
        QTextStream out(child.readAllStandardOutput());
        QSet<int> reported;
        QString line;
        while (out.readLineInto(&line)) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() < 3) continue;
            const int i = parts[1].toInt();
            const qint64 wait = parts[2].toLongLong();
            reported.insert(i);
            longest = qMax(longest, wait);
            total += wait;
            const int count = stored.value(userOf(w) + QLatin1Char('/') + noteOf(i));
            if (parts[0] == QLatin1String("ok")) {
                ++ok;
                if (count == 0) ++lost;
                if (count > 1) duplicated += count - 1;
            } else {
                ++failed;
                if (messages.size() < 3) messages << parts.mid(3).join(QLatin1Char(' '));
                if (count > 0) ++failedButStored;
            }
        }
        unreported += inserts - reported.size();
    }
    qint64 rows = 0;
    for (int count : stored)
        rows += count;
    const QStringList readerFigures =
        QString::fromUtf8(readerProcess->readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    const QString verdict = Stress::integrity(*c);

    report.figure(QStringLiteral("processes"),
                  QStringLiteral("%1 writers x %2 inserts, 1 reader").arg(writers).arg(inserts));
    report.figure(QStringLiteral("inserts reported stored"), ok);
    report.figure(QStringLiteral("inserts reported failed"), failed);
    report.figure(QStringLiteral("rows in the file"), rows);
    report.figure(QStringLiteral("lost"), lost);
    report.figure(QStringLiteral("duplicated"), duplicated);
    report.figure(QStringLiteral("failed but stored"), failedButStored);
    report.figure(QStringLiteral("inserts/s (all writers)"),
                  qRound64(ok * 1000.0 / qMax<qint64>(elapsed, 1)));
    report.figure(QStringLiteral("longest insert wait"), ms(longest));
    report.figure(QStringLiteral("mean insert time"), ms(ok + failed ? total / (ok + failed) : 0));
    if (readerFigures.size() == 8) {
        report.figure(QStringLiteral("reader listings"), readerFigures[1]);
        report.figure(QStringLiteral("reader failures"), readerFigures[3]);
        report.figure(QStringLiteral("reader longest listing"), ms(readerFigures[5].toLongLong()));
        report.figure(QStringLiteral("reader saw rows vanish"), readerFigures[7]);
    }
    report.figure(QStringLiteral("integrity check"), verdict);
    for (const QString &m : messages)
        report.figure(QStringLiteral("failure message"), m);

    report.check(unreported == 0, QStringLiteral("%1 inserts went unreported").arg(unreported));
    report.check(lost == 0, QStringLiteral("%1 reported inserts lost").arg(lost));
    report.check(duplicated == 0, QStringLiteral("%1 rows stored twice").arg(duplicated));
    report.check(failedButStored == 0,
                 QStringLiteral("%1 reported failures were stored").arg(failedButStored));
    report.check(rows == ok, QStringLiteral("%1 rows in the file, %2 reported stored").arg(rows).arg(ok));
    report.check(verdict == QLatin1String("ok"), QStringLiteral("integrity check: %1").arg(verdict));
    report.check(readerFigures.size() == 8 && readerFigures[7] == QLatin1String("0"),
                 QStringLiteral("the reader never saw stored rows vanish"));
    report.check(readerProcess->exitCode() == 0, QStringLiteral("the reader ended normally"));
    return report.finish();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.value(0) == QLatin1String("--writer")) {
            Stress::endWithParent();
            return writer(args.value(1), args.value(2).toInt(), args.value(3).toInt());
        }
        if (args.value(0) == QLatin1String("--reader")) {
            Stress::endWithParent();
            return reader(args.value(1), args.value(2));
        }
        QHash<QString, QString> options;
        int exitCode = 0;
        if (!Stress::readOptions(args, {QStringLiteral("--writers"), QStringLiteral("--inserts")},
                                 {QStringLiteral("--postgresql")}, usage, &options, &exitCode))
            return exitCode;
        return run(qMax(1, options.value(QStringLiteral("--writers"), QStringLiteral("8")).toInt()),
                   qMax(1, options.value(QStringLiteral("--inserts"), QStringLiteral("2000")).toInt()),
                   options.contains(QStringLiteral("--postgresql")));
    } catch (const DbError &e) {
        std::fprintf(stderr, "stress_copies: %s\n", qPrintable(e.message()));
        return 1;
    }
}
