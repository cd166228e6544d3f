#include "StressSupport.h"

#include "AfterExit.h"
#include "CatalogStatements.h"
#include "Connection.h"
#include "Dataset.h"
#include "DbError.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace Stress {

namespace {
//! Tells a child role which process started it.
constexpr const char *parentVariable = "KELVARO_STRESS_PARENT";
} // namespace

QString makeDatabase(const QString &dir, const QString &name) {
    const QString path = QDir(dir).filePath(name);
    Schema::createDatabase(path);
    return path;
}

std::unique_ptr<Connection> connect(const QString &path, int busyTimeoutMs) {
    auto c = std::make_unique<Connection>();
    c->setDatabaseFile(path);
    if (busyTimeoutMs >= 0) c->setBusyTimeoutMs(busyTimeoutMs);
    c->open();
    return c;
}

std::unique_ptr<Dataset> insertQuery(Connection &connection) {
    auto query = std::make_unique<Dataset>(QStringLiteral("ADOQuery_SET"));
    query->setConnection(&connection);
    return query;
}

void storeLine(Dataset &query, const QString &user, const QString &note) {
    const CatalogStatements::OrderLine line{QStringLiteral("珍珠奶茶"), QStringLiteral("中"),
                                            QStringLiteral("45"), QStringLiteral("五十嵐"), note};
    CatalogStatements::storeOrderLine(query, line, user, QDateTime::currentDateTime(),
                                      query.connection()->localeFormats());
}

QHash<QString, int> storedTags(Connection &connection) {
    Statement s;
    s.add(QStringLiteral("select ord_cusomter, ord_note from ordern"));
    const ResultSet rows = connection.select(s);
    QHash<QString, int> tags;
    for (int r = 0; r < rows.rowCount(); ++r)
        ++tags[rows.value(r, 0).toString() + QLatin1Char('/') + rows.value(r, 1).toString()];
    return tags;
}

QString integrity(Connection &connection) {
    // A server keeps its own files sound; what can be checked from here is the schema.
    if (!connection.handle()) {
        const QStringList problems = connection.schemaProblems();
        return problems.isEmpty() ? QStringLiteral("ok") : problems.join(QLatin1String("; "));
    }
    QStringList problems;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), "PRAGMA integrity_check", -1, &st, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(connection.handle()));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        problems << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    if (rc != SQLITE_DONE) problems << QString::fromUtf8(sqlite3_errmsg(connection.handle()));
    sqlite3_finalize(st);
    return problems.join(QLatin1String("; "));
}

QByteArray contents(Connection &connection) {
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (const TableInfo &table : Schema::tables()) {
        Statement s;
        s.add(QStringLiteral("select * from %1 order by 1").arg(table.name));
        const ResultSet rows = connection.select(s);
        digest.addData(table.name.toUtf8());
        for (int r = 0; r < rows.rowCount(); ++r)
            for (int c = 0; c < rows.columnCount(); ++c)
                digest.addData(rows.value(r, c).toString().toUtf8() + '\x1f');
    }
    return digest.result().toHex();
}

bool readOptions(const QStringList &args, const QStringList &valued, const QStringList &flags,
                 const char *usage, QHash<QString, QString> *values, int *exitCode) {
    QString wrong;
    for (int i = 0; i < args.size() && wrong.isEmpty(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            *exitCode = 0;
            return false;
        }
        if (flags.contains(a))
            values->insert(a, QString());
        else if (valued.contains(a) && i + 1 < args.size())
            values->insert(a, args[++i]);
        else
            wrong = valued.contains(a) ? QStringLiteral("%1 needs a value").arg(a)
                                       : QStringLiteral("unknown argument '%1'").arg(a);
    }
    if (wrong.isEmpty()) return true;
    std::fprintf(stderr, "%s: %s\n%s", qPrintable(QCoreApplication::applicationName()), qPrintable(wrong),
                 usage);
    *exitCode = 2;
    return false;
}

RunFolder::RunFolder(const QStringList &mountPoints)
    : m_path(QDir(QDir::tempPath())
                 .filePath(QStringLiteral("%1-%2-%3")
                               .arg(QCoreApplication::applicationName())
                               .arg(QCoreApplication::applicationPid())
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))) {
    QString command;
    for (const QString &m : mountPoints)
        command += QStringLiteral("umount %1 2>/dev/null; ").arg(AfterExit::quoted(filePath(m)));
    AfterExit::run(command + QStringLiteral("rm -rf ") + AfterExit::quoted(m_path));
    if (!QDir().mkpath(m_path)) throw DbError(QStringLiteral("Cannot make the folder '%1'.").arg(m_path));
}

RunFolder::~RunFolder() {
    QDir(m_path).removeRecursively();
}

QString RunFolder::filePath(const QString &name) const {
    return QDir(m_path).filePath(name);
}

std::unique_ptr<QProcess> startSelf(const QStringList &args) {
    auto child = std::make_unique<QProcess>();
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(parentVariable),
                       QString::number(QCoreApplication::applicationPid()));
    child->setProcessEnvironment(environment);
    child->start(QCoreApplication::applicationFilePath(), args);
    return child;
}

void endWithParent() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have gone before the request: then this child is another's already.
    if (qEnvironmentVariable(parentVariable) != QString::number(getppid())) _exit(1);
}

void say(const QString &line) {
    std::fputs(line.toUtf8().append('\n').constData(), stdout);
    std::fflush(stdout);
}

void Report::figure(const QString &name, const QString &value) {
    m_figures.append({name, value});
}

bool Report::check(bool ok, const QString &what) {
    if (!ok) {
        ++m_failed;
        std::fprintf(stderr, "FAILED: %s\n", qPrintable(what));
    }
    return ok;
}

int Report::finish() {
    int width = 0;
    for (const auto &f : m_figures)
        width = qMax(width, int(f.first.size()));
    std::printf("\n%s\n", qPrintable(m_title));
    for (const auto &f : m_figures)
        std::printf("  %-*s  %s\n", width, qPrintable(f.first), qPrintable(f.second));
    std::printf("  %s\n", m_failed ? qPrintable(QStringLiteral("%1 check(s) FAILED").arg(m_failed))
                                   : "all checks passed");
    std::fflush(stdout);
    return m_failed ? 1 : 0;
}

} // namespace Stress
