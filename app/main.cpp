#include "StartOptions.h"
#include "TForm1.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

//! Help and version are answered without a window system, so they work on any terminal.
bool asksForHelpOrVersion(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *flag : {"-h", "--help", "-?", "-v", "--version", "--help-all"})
            if (std::strcmp(argv[i], flag) == 0) return true;
    return false;
}

//! Whether a window system can be reached; without one Qt's default platform aborts with a
//! long message about plugins.
bool hasDisplay(int argc, char *argv[]) {
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(variable)) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) return true;
    return false;
}

void describe() {
    QCoreApplication::setApplicationName(QStringLiteral("Kelvaro"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0.6"));
}

} // namespace

int main(int argc, char *argv[]) {
    StartOptions options;
    int exitCode = 0;
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication app(argc, argv);
        describe();
        StartOptions::parse(QCoreApplication::arguments(), &options, &exitCode);
        return exitCode;
    }

    if (!hasDisplay(argc, argv)) {
        fputs("kelvaro: no display here (DISPLAY and WAYLAND_DISPLAY are not set); start it on a desktop, "
              "or under a virtual one: xvfb-run kelvaro\n",
              stderr);
        return 1;
    }
    QApplication app(argc, argv);
    describe();
    QApplication::setFont(TForm1::uiFont(11));
    if (!StartOptions::parse(QApplication::arguments(), &options, &exitCode)) return exitCode;

    TForm1 form(options);
    // The box has said what is wrong and what to do: a window that can do nothing is not shown.
    if (!form.databaseUsable()) return 1;
    QApplication::setWindowIcon(form.windowIcon());
    form.show();
    return app.exec();
}
