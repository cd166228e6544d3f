#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

//! A spreadsheet file as libfreexl reads it, for tests. Each cell is written as kind:value:
//! "num:35", "date:2026-12-09", "time:13:05:00", "datetime:2026-12-09 13:05:00",
//! "text:珍珠奶茶", and "" for an empty cell.
struct XlsReadBack {
    //! One sheet: its name and its cells, row by row.
    struct Sheet {
        QString name;
        QVector<QStringList> rows;
    };

    //! libfreexl's result of opening the file (0: it read it).
    int error = 0;
    int sheetCount = 0;
    //! Every sheet, in the workbook's order.
    QVector<Sheet> sheets;
    //! Name of the first sheet.
    QString sheetName;
    //! Cells of the first sheet, row by row.
    QVector<QStringList> rows;

    static XlsReadBack read(const QString &path);
};
