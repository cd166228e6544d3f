#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

//! Menu items as comma-separated text (UTF-8, RFC 4180 quoting): shop, category, item,
//! cup size, price, one item a line, after a header line naming the columns.
class MenuCsv {
public:
    //! One record with the line of the file it starts on (1-based).
    struct Record {
        int line = 0;
        QStringList fields;
    };

    //! The header line export writes and import skips.
    static QStringList header();
    //! Splits the text into records; a leading byte-order mark and a header line are skipped,
    //! and so are empty lines. Sets `error` (with the line) and returns nothing on broken quoting
    //! or bytes that are not UTF-8.
    static QVector<Record> parse(const QByteArray &utf8, QString *error);
    //! One line of output, fields quoted where they need it, ended by CR LF.
    static QByteArray line(const QStringList &fields);
};
