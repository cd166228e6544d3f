#pragma once

#include <QWidget>

class DataSource;
class Dataset;
class Field;
class QLineEdit;
class Session;
class TDBXNavigator;
class TRadioGroup;
class TSMDBGrid;

//! The menu page: a form that adds one beverage item of one shop, and the whole menu list,
//! newest first, with its navigator.
class MenuPage : public QWidget {
    Q_OBJECT
public:
    //! What the page uses: the menu list with its data source, and the scratch query that
    //! stores an item.
    struct Data {
        Dataset &menu;
        DataSource &menuSource;
        Dataset &inserts;
    };

    MenuPage(const Data &data, const Session &session, QWidget *parent = nullptr);

    //! Entry to the page by the user's choice of its tab: the menu list opened if it is not
    //! open (an open list is not read again), then the navigator's buttons by user level.
    //! A failure to open leaves the buttons as they were and reaches the caller.
    void enter();
    //! Adds the item the form describes, reports it, resets the cup size and re-reads the list.
    void ColorButton2Click();

signals:
    //! A menu item was stored (the window reports it in the status bar).
    void menuItemAdded();

private:
    //! Odd-row shading of the menu grid.
    void SMDBGrid1GetCellParams(QColor &background);

    Data m_data;
    const Session &m_session;
    QLineEdit *m_shop;
    QLineEdit *m_category;
    QLineEdit *m_name;
    QLineEdit *m_price;
    TRadioGroup *m_cupSize;
    TDBXNavigator *m_navigator;
    TSMDBGrid *m_grid;
};
