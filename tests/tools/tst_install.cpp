#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

//! Runs a program; returns its exit code, with its output in `output`.
int run(const QString &program, const QStringList &args, QString *output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(-1)) return -1; // cpack first brings the build up to date
    *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void installTreeHoldsADesktopApplication();
    void packageInstallsOnDebian12();
};

void TestInstall::installTreeHoldsADesktopApplication() {
    QTemporaryDir prefix;
    QString out;
    QCOMPARE(run(QStringLiteral(CMAKE_COMMAND),
                 {QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"),
                  prefix.path()},
                 &out),
             0);
    const QDir root(prefix.path());
    for (const char *program : {"bin/kelvaro", "bin/kelvaro-admin"})
        QVERIFY2(QFileInfo(root.filePath(QString::fromLatin1(program))).isExecutable(), program);
    const QString desktop = root.filePath(QStringLiteral("share/applications/org.kelvaro.Kelvaro.desktop"));
    const QString metainfo = root.filePath(QStringLiteral("share/metainfo/org.kelvaro.Kelvaro.metainfo.xml"));
    QVERIFY(QFile::exists(desktop));
    QVERIFY(QFile::exists(metainfo));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(root.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/org.kelvaro.Kelvaro.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
    }

    // The validators the desktops themselves use (installed by the set-up).
    const QString desktopValidate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    QVERIFY2(!desktopValidate.isEmpty() && !appstream.isEmpty(),
             "desktop-file-utils and appstream are installed");
    QVERIFY2(run(desktopValidate, {desktop}, &out) == 0, qPrintable(out));
    QVERIFY2(run(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo}, &out) == 0,
             qPrintable(out));

    // The installed admin tool runs from anywhere.
    QVERIFY(run(root.filePath(QStringLiteral("bin/kelvaro-admin")), {QStringLiteral("--help")}, &out) == 0);
    QVERIFY(out.contains(QStringLiteral("backup")));

    // The program started where there is no display says so in one line instead of aborting.
    QProcess noDisplay;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    noDisplay.setProcessEnvironment(environment);
    noDisplay.start(root.filePath(QStringLiteral("bin/kelvaro")), {});
    QVERIFY(noDisplay.waitForFinished(60000));
    const QString said = QString::fromUtf8(noDisplay.readAllStandardError());
    QCOMPARE(noDisplay.exitStatus(), QProcess::NormalExit);
    QCOMPARE(noDisplay.exitCode(), 1);
    QVERIFY2(said.contains(QStringLiteral("no display")) && said.count(QLatin1Char('\n')) == 1,
             qPrintable(said));
}

void TestInstall::packageInstallsOnDebian12() {
    QTemporaryDir out;
    QString log;
    QVERIFY2(run(QStringLiteral(CPACK_COMMAND),
                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                  QStringLiteral(BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out.path()},
                 &log) == 0,
             qPrintable(log));
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("kelvaro_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = QDir(out.path()).filePath(debs.first());

    // What the program loads at run time besides the libraries it links: the SQLite driver
    // and the Traditional Chinese font; and this system's apt can satisfy every dependency.
    QString depends;
    QCOMPARE(
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")}, &depends), 0);
    for (const char *package :
         {"libqt6sql6-sqlite", "fonts-noto-cjk", "libqt6widgets6", "libsqlite3-0", "libgsf-1-114"})
        QVERIFY2(depends.contains(QLatin1String(package)), qPrintable(depends));
    QVERIFY2(run(QStringLiteral("apt-get"), {QStringLiteral("install"), QStringLiteral("-s"), deb}, &log) ==
                 0,
             qPrintable(log));

    QString contents;
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}, &contents), 0);
    for (const char *file : {"./usr/bin/kelvaro", "./usr/bin/kelvaro-admin",
                             "./usr/share/applications/org.kelvaro.Kelvaro.desktop",
                             "./usr/share/metainfo/org.kelvaro.Kelvaro.metainfo.xml",
                             "./usr/share/icons/hicolor/48x48/apps/org.kelvaro.Kelvaro.png",
                             "./usr/share/doc/kelvaro/copyright", "./usr/share/doc/kelvaro/changelog.gz"})
        QVERIFY2(contents.contains(QLatin1String(file)), file);

    // The packaged (stripped) tool runs with the system's libraries.
    QCOMPARE(run(QStringLiteral("dpkg-deb"),
                 {QStringLiteral("-x"), deb, out.filePath(QStringLiteral("root"))}, &log),
             0);
    QVERIFY(run(out.filePath(QStringLiteral("root/usr/bin/kelvaro-admin")), {QStringLiteral("--help")},
                &log) == 0);

    // Debian's package checker, where it is installed, finds no error. The maintainer's address
    // is the building office's own (KELVARO_MAINTAINER), so a placeholder is not held against it.
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (lintian.isEmpty()) return;
    run(lintian,
        {QStringLiteral("--suppress-tags"),
         QStringLiteral("bogus-mail-host,bogus-mail-host-in-debian-changelog"), deb},
        &log);
    QVERIFY2(!QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)
                  .match(log)
                  .hasMatch(),
             qPrintable(log));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
