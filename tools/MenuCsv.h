#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

//! Menu items as comma-separated text (UTF-8, RFC 4180 quoting): shop, category, item,
//! cup size, price, one item a line, after a header line naming the columns. Files are read as
//! offices write them: a comma, semicolon or tab between the fields (whichever the first line
//! uses), lines ended by CR LF, LF or a lone CR, spaces around the fields, and a header line in
//! the column names, the menu page's captions or plain words, in any order of the columns.
class MenuCsv {
public:
    //! One record with the line of the file it starts on (1-based).
    struct Record {
        int line = 0;
        QStringList fields;
    };

    //! The header line export writes: the column names.
    static QStringList header();
    //! The columns as the user knows them: 店家, 分類, 品名, 杯量, 價格.
    static QStringList captions();
    //! Splits the text into records with their fields trimmed, in the order of header();
    //! a leading byte-order mark, a header line and empty lines are skipped. Sets `error` (with
    //! the line) and returns nothing on broken quoting or bytes that are not UTF-8.
    static QVector<Record> parse(const QByteArray &utf8, QString *error);
    //! One line of output, fields quoted where they need it, ended by CR LF.
    static QByteArray line(const QStringList &fields);
};
