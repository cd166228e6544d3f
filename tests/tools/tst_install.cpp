#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

//! Runs a program; returns its exit code, with its output in `output`.
int run(const QString &program, const QStringList &args, QString *output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) return -1;
    *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void installTreeHoldsADesktopApplication();
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
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
