#pragma once

#include "CatalogStatements.h"

#include <QWidget>

class DataSource;
class Dataset;
class Field;
class QComboBox;
class QLineEdit;
class Session;
class TColorButton;
class TSMDBGrid;

//! The catalog page: the user picks a shop in the shop box, a category in the category grid
//! and ticks items in the item grid, types a note and adds the ticked items to the day's
//! order. Reports each stored order line with orderStored().
class CatalogPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the category and item lists with their data sources, and the
    //! scratch queries that read the shop list and store order lines.
    struct Data {
        Dataset &categories;
        DataSource &categorySource;
        Dataset &items;
        DataSource &itemSource;
        Dataset &reads;
        Dataset &inserts;
    };

    CatalogPage(const Data &data, const Session &session, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab: the shop list read again and no
    //! shop selected; the grids, their ticks and the note stay as they were.
    void enter();

public slots:
    //! Appends every distinct shop name of the menu to the shop box's item list; failures
    //! are silent and leave what was appended.
    void Get_CB1_Text();
    //! Removes every item of the shop box; not a change of the shop box.
    void clearShopList();

signals:
    //! One order line has been stored.
    void orderStored();

private:
    // Rebuilds the category list for the shop box's text (every change of that text).
    void CB1Change();
    // Rebuilds the item list for the shop and the current category (every data change of
    // the category list while it is open).
    void DataSource2DataChange(Field *field);
    // A mouse click on a category cell empties the note.
    void SMDBGrid2CellClick(TSMDBGrid *sender, int column);
    // Odd-row shading of the item grid.
    void SMDBGrid3GetCellParams(TSMDBGrid *sender, Field *field, QFont &font, QColor &fontColor,
                                QColor &background, bool highlight);
    // Stores one order line per ticked item, in the item list's order, then reopens the item
    // list on its current row (which clears the ticks). Failures other than a line's own end
    // the click silently.
    void ColorButton1Click();
    // Stores one order line stamped with the signed-in user and the date and time of now;
    // reports success with orderStored() and failure with the message "錯誤請找管理人".
    void Set_order(CatalogStatements::OrderLine line);
    void appendShop(const QString &shop);

    Data m_data;
    const Session &m_session;
    QComboBox *m_shopBox;
    TSMDBGrid *m_categories;
    TSMDBGrid *m_items;
    QLineEdit *m_note;
    TColorButton *m_add;
    // The shop the item list was built for: its lines go to that shop even when the shop box
    // has since been emptied by an entry to the page.
    QString m_listedShop;
};
