#include "StartOptions.h"
#include "TForm1.h"

#include <QApplication>
#include <QIcon>
#include <cstring>

namespace {

//! Help and version are answered without a window system, so they work on any terminal.
bool asksForHelpOrVersion(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *flag : {"-h", "--help", "-?", "-v", "--version", "--help-all"})
            if (std::strcmp(argv[i], flag) == 0) return true;
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

    QApplication app(argc, argv);
    describe();
    QApplication::setFont(TForm1::uiFont(11));
    if (!StartOptions::parse(QApplication::arguments(), &options, &exitCode)) return exitCode;

    TForm1 form(options);
    QApplication::setWindowIcon(form.windowIcon());
    form.show();
    return app.exec();
}
