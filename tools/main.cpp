// kelvaro-admin: makes and checks Kelvaro database files.
#include "AdminCommands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    AdminCommands commands(out, err);
    const int code = commands.run(app.arguments().mid(1));
    out.flush();
    err.flush();
    return code;
}
