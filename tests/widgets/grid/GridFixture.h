#pragma once

#include "DataSource.h"
#include "Dataset.h"
#include "TSMDBGrid.h"
#include "TestDatabase.h"

#include <QList>
#include <QPoint>
#include <QWidget>
#include <memory>

//! A shown grid with the settings of one of the program's grids, bound to an open item list
//! of `rows` menu items ("item 1" .. "item N", price 10 x N) in a fresh database.
class GridFixture {
public:
    explicit GridFixture(int rows, const QString &gridName = QStringLiteral("SMDBGrid3"), bool open = true);
    ~GridFixture();

    TestDatabase db;
    Dataset *items;
    DataSource *source;
    std::unique_ptr<QWidget> window;
    TSMDBGrid *grid;
    //! OnChangeSelection events so far.
    int changes = 0;

    //! Record numbers of the selected-rows list's entries, in list order.
    QList<int> tickedRecNos();
    //! Rows of the menu table.
    int tableRows();
    //! Presses and releases a button on a data cell / a check box (indicator cell) / the corner.
    void clickCell(int row, int column, Qt::MouseButton button = Qt::LeftButton,
                   Qt::KeyboardModifiers mods = Qt::NoModifier);
    void clickBox(int row, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier);
    void clickCorner(Qt::MouseButton button = Qt::LeftButton);
    //! Where data cell (row, column) / indicator cell `row` is, in grid coordinates.
    QRect cellRect(int row, int column) const;
    QRect indicatorRect(int row) const;
    QWidget *corner() const;
    //! The grid as painted now.
    QImage grab() const;
};
