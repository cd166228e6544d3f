#pragma once

#include "MenuCsv.h"

#include <QString>
#include <QVector>

class Connection;

//! The items of a menu file checked and merged into the menu, all or nothing: every line is
//! checked as the menu page would take it before anything is written, and then all of them are
//! stored in one transaction. Reasons are in plain words and name the columns as the user knows
//! them (店家, 分類, 品名, 杯量, 價格).
class MenuImport {
public:
    //! What an import did, or why it stored nothing.
    struct Outcome {
        int added = 0;
        int updated = 0;
        int unchanged = 0;
        //! The line to blame (0 when no line is), and why nothing was stored; empty when done.
        int line = 0;
        QString refusal;
    };

    //! Merges the records into the menu on `connection` (an open database of ours).
    static Outcome run(Connection &connection, const QVector<MenuCsv::Record> &records);

private:
    //! Why a record cannot be stored; empty when it can. `cupSize` receives the size as stored.
    static QString problem(Connection &connection, const QStringList &fields, QString *cupSize);
    //! A text field's refusal by its column, in plain words; empty when it fits.
    static QString textProblem(Connection &connection, int column, const QString &text);
};
