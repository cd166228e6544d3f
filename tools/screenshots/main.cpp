// kelvaro-screenshots: the pages of the program as a person sees them, for the README.
// Run by `make screenshots` on the offscreen platform against a fresh demo database.
#include "PageControl.h"
#include "StartOptions.h"
#include "TForm1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

void typeInto(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    // As an input method commits it, so any text arrives, Chinese included.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
}

bool save(TForm1 &form, const QString &folder, const QString &name) {
    QTest::qWait(50);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!form.grab().save(path)) {
        fprintf(stderr, "kelvaro-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setFont(TForm1::uiFont(11));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3) {
        fprintf(stderr, "Usage: kelvaro-screenshots KELVARO-ADMIN OUTPUT-FOLDER\n");
        return 2;
    }
    const QString output = QDir(args[2]).absolutePath();
    QDir().mkpath(output);

    QTemporaryDir work;
    const QString database = QDir(work.path()).filePath(QStringLiteral("kelvaro.mdb"));
    QProcess admin; // its account list is not for this output
    admin.start(args[1],
                {QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--manager"),
                 QStringLiteral("admin"), QStringLiteral("admin"), QStringLiteral("系統管理"), database});
    if (!admin.waitForFinished() || admin.exitCode() != 0) return 1;
    QDir::setCurrent(work.path()); // exports and the like stay out of the source tree

    StartOptions options;
    options.databaseFile = database;
    TForm1 form(options);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;

    bool ok = save(form, output, QStringLiteral("signin"));
    typeInto(form.findChild<QLineEdit *>(QStringLiteral("Edit1")), QStringLiteral("admin"));
    typeInto(form.findChild<QLineEdit *>(QStringLiteral("Edit2")), QStringLiteral("admin"));
    QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);

    // Each working page, chosen by a click on its tab as a user would.
    const char *names[] = {"catalog", "summary", "menu", "permission"};
    PageControl *pages = form.pageControl();
    for (int position = 0; position < pages->visibleTabCount() && position < 4; ++position) {
        QTabBar *bar = pages->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->pageAtTabPosition(position)).center());
        auto *shops = form.findChild<QComboBox *>(QStringLiteral("CB1"));
        if (position == 0 && shops && shops->count() > 0) typeInto(shops->lineEdit(), shops->itemText(0));
        ok = save(form, output, QString::fromLatin1(names[position])) && ok;
    }
    return ok ? 0 : 1;
}
