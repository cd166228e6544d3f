#include "SummaryStatements.h"

#include "Connection.h"
#include "Dataset.h"

#include <QDir>

namespace SummaryStatements {

void openDay(Dataset &lines, const QDate &day) {
    lines.close();
    Statement &s = lines.statement();
    s.clear();
    s.add(QStringLiteral("select * from ordern where ord_date = ? order by ord_mer ASC"));
    s.bind(day);
    lines.open();
}

std::optional<QString> dayTotal(Dataset &query, const QDate &day) {
    query.close();
    Statement &s = query.statement();
    s.clear();
    s.add(QStringLiteral("Select Sum(ord_pric) From ordern where "));
    s.add(QStringLiteral("ord_date = ? "));
    s.bind(day);
    query.open();
    std::optional<QString> total;
    if (query.recordCount() != 0 && query.field(0)) total = query.field(0)->asString();
    query.close();
    return total;
}

QString exportPath(const QString &folder, const QDateTime &now) {
    return QDir(folder).filePath(now.toString(QStringLiteral("yyyyMMddHHmm")) + QStringLiteral(".xls"));
}

void exportDay(Connection &connection, const QString &path, const QDate &day,
               const QVector<ExportSheet> &furtherSheets) {
    Statement s;
    s.add(QStringLiteral("SELECT * INTO SHEET1 IN \"") + path +
          QStringLiteral("\" \"Excel 8.0;\" FROM ordern where ord_date = ? "));
    s.bind(day);
    connection.executeExport(s, furtherSheets);
}

} // namespace SummaryStatements
