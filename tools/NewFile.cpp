#include "NewFile.h"

#include "DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <unistd.h>

QString NewFile::datedIn(const QString &folder, const QString &base, const QString &suffix,
                         const QDate &day) {
    const QDir dir(folder);
    const QString stem = base + QLatin1Char('-') + day.toString(Qt::ISODate);
    QString name = stem + QLatin1Char('.') + suffix;
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = stem + QStringLiteral("-%1.").arg(n) + suffix;
    return dir.filePath(name);
}

QString NewFile::tempBeside(const QString &target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".%1.tmp").arg(::getpid());
}

void NewFile::linkIntoPlace(const QString &temp, const QString &target) {
    if (::link(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        if (QFileInfo::exists(target))
            throw DbError(QStringLiteral("'%1' appeared meanwhile; it is left as it is.").arg(target));
        // File systems without hard links: the target was checked a moment ago.
        if (!QFile::rename(temp, target))
            throw DbError(QStringLiteral("Cannot create '%1': %2")
                              .arg(target, QString::fromLocal8Bit(strerror(error))));
    }
    QFile::remove(temp);
}

void NewFile::discard(const QString &temp) {
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
}
