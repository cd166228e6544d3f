#include "PostgresCluster.h"

#include "AfterExit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr const char *kUser = "kelvaro";
constexpr const char *kServerUser = "nobody";

//! The folder of the newest installed server's programs (Debian keeps them out of PATH).
QString findBinDir() {
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(found.begin(), found.end(),
              [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : found) {
        const QString bin = versions.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb"))) return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!initdb.isEmpty()) return QFileInfo(initdb).absolutePath();
    throw std::runtime_error(
        "PostgreSQL server programs (initdb, pg_ctl) not found: run tools/install-deps.sh");
}

} // namespace

PostgresCluster &PostgresCluster::instance() {
    // Destroyed at exit, after the tests: the server stops and its folder goes.
    static PostgresCluster cluster;
    return cluster;
}

PostgresCluster::PostgresCluster()
    : m_dir(QDir::tempPath() + QStringLiteral("/kelvaro-pg-XXXXXX")) {
    if (!m_dir.isValid()) throw std::runtime_error("cannot make a folder for the test cluster");
    m_binDir = findBinDir();
    start();
}

PostgresCluster::~PostgresCluster() {
    stop();
}

QString PostgresCluster::run(const QString &program, const QStringList &args, bool asServerUser) const {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = m_binDir + QLatin1Char('/') + program;
    if (asServerUser && geteuid() == 0)
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QString::fromLatin1(kServerUser),
                                                       QStringLiteral("--"), path} +
                                               args);
    else
        p.start(path, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(QStringLiteral("%1 failed: %2 %3")
                                     .arg(program, p.errorString(), QString::fromLocal8Bit(p.readAll()))
                                     .toStdString());
    return QString::fromLocal8Bit(p.readAll());
}

void PostgresCluster::start() {
    const QString dir = m_dir.path();
    if (geteuid() == 0) {
        // The server user must own the folder; the socket and data live inside it.
        const QByteArray d = QFile::encodeName(dir);
        if (std::system(("chown " + QByteArray(kServerUser) + " '" + d + "'").constData()) != 0)
            throw std::runtime_error("cannot hand the test cluster's folder to the server user");
    }
    const QString data = dir + QStringLiteral("/data");
    run(QStringLiteral("initdb"),
        {QStringLiteral("-D"), data, QStringLiteral("-U"), QString::fromLatin1(kUser), QStringLiteral("-A"),
         QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
         QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--locale-provider=icu"),
         QStringLiteral("--icu-locale=und"), QStringLiteral("--no-sync")},
        true);
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), data, QStringLiteral("-w"), QStringLiteral("-l"),
         dir + QStringLiteral("/server.log"), QStringLiteral("-o"),
         QStringLiteral(
             "-k %1 -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off")
             .arg(dir),
         QStringLiteral("start")},
        true);
    m_running = true;
    // A test program that crashes never reaches its exit: a watcher of its own stops the server
    // and removes the folder once the program is gone.
    const QString pgctl = m_binDir + QStringLiteral("/pg_ctl");
    const QString asServer = geteuid() == 0
                                 ? QStringLiteral("runuser -u %1 -- ").arg(QString::fromLatin1(kServerUser))
                                 : QString();
    AfterExit::run(
        QStringLiteral("%1%2 -D %3 -m immediate stop >/dev/null 2>&1; rm -rf %4")
            .arg(asServer, AfterExit::quoted(pgctl), AfterExit::quoted(data), AfterExit::quoted(dir)));
}

void PostgresCluster::stop() {
    if (!m_running) return;
    m_running = false;
    try {
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_dir.path() + QStringLiteral("/data"), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
            true);
    } catch (const std::exception &e) {
        qWarning("test cluster did not stop: %s", e.what());
    }
}

QString PostgresCluster::url(const QString &name) const {
    // The socket folder stands as the host, percent-encoded as libpq's URLs want it.
    return QStringLiteral("postgresql://%1@%2/%3")
        .arg(QString::fromLatin1(kUser), QString::fromLatin1(QUrl::toPercentEncoding(m_dir.path())), name);
}

void PostgresCluster::psql(const QString &name, const QString &sql) const {
    run(QStringLiteral("psql"),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
         QStringLiteral("-d"), url(name), QStringLiteral("-c"), sql},
        false);
}

void PostgresCluster::load(const QString &path) {
    run(QStringLiteral("psql"),
        {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
         QStringLiteral("-d"), databaseUrl(), QStringLiteral("-f"), path},
        false);
}

QString PostgresCluster::databaseUrl() {
    if (m_database.isEmpty()) {
        // Named after the program, so a server log tells whose it was.
        QString name = QCoreApplication::applicationName().toLower();
        name.replace(QRegularExpression(QStringLiteral("[^a-z0-9_]")), QStringLiteral("_"));
        if (name.isEmpty()) name = QStringLiteral("kelvaro_test");
        psql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(name));
        m_database = name;
    }
    return url(m_database);
}

void PostgresCluster::emptyDatabase() {
    databaseUrl();
    psql(m_database, QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
}
