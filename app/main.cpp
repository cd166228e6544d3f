#include "TForm1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvaro"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.6"));
    QApplication::setFont(TForm1::uiFont(11));

    TForm1 form;
    QApplication::setWindowIcon(form.windowIcon());
    form.show();
    return app.exec();
}
