#include "AfterExit.h"

#include <QCoreApplication>
#include <QProcess>

void AfterExit::run(const QString &shellCommand) {
    QProcess::startDetached(QStringLiteral("setsid"),
                            {QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(shellCommand)});
}

QString AfterExit::quoted(const QString &path) {
    return QLatin1Char('\'') + QString(path).replace(QLatin1String("'"), QLatin1String("'\\''")) +
           QLatin1Char('\'');
}
