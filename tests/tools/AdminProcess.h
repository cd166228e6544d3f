#pragma once

#include "Connection.h"

#include <QProcess>
#include <QString>
#include <QStringList>

//! kelvaro-admin run as a process, the way people and the Makefile run it.
struct AdminResult {
    int code;
    QString out;
    QString err;
};

inline AdminResult admin(const QStringList &args, const QString &workDir = QString(),
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.setProcessEnvironment(environment);
    p.setStandardInputFile(QProcess::nullDevice()); // no terminal to ask on
    p.start(QStringLiteral(KELVARO_ADMIN), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

//! The first value of the first row of a query.
inline QVariant scalar(Connection &c, const QString &sql) {
    Statement st;
    st.add(sql);
    const ResultSet rs = c.select(st);
    return rs.rowCount() ? rs.value(0, 0) : QVariant();
}
