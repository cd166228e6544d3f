#pragma once

#include <QMenu>
#include <QVector>

class TSMDBGrid;

//! The grid's standard pop-up menu: record commands, the owner's optional commands, a
//! submenu to select and unselect rows, and the column-layout commands. Built once; each
//! opening shows and enables the items by the grid's and the dataset's state.
class GridPopupMenu : public QMenu {
    Q_OBJECT
public:
    //! Entries of the caption table, in order.
    enum Entry {
        Append,
        Insert,
        Edit,
        Delete,
        Sep1,
        Print,
        Export,
        Filter,
        Search,
        Sep2,
        Post,
        Cancel,
        Refresh,
        Sep3,
        Selection,
        SelectOne,
        SelectAll,
        SubSep,
        UnselectOne,
        UnselectAll,
        Sep4,
        SaveLayout,
        RestoreLayout,
        Sep5,
        Setup,
        EntryCount
    };

    explicit GridPopupMenu(TSMDBGrid *grid);

    //! The caption of table entry `entry`.
    static QString caption(int entry);
    //! The item made for table entry `entry`.
    QAction *entryAction(int entry) const { return m_actions.at(entry); }
    //! The select / unselect submenu.
    QMenu *selectionMenu() const { return m_selectionMenu; }
    //! Shows and enables the items for the state the grid is in now.
    void prepare();

private:
    void run(int entry);

    TSMDBGrid *m_grid;
    QMenu *m_selectionMenu;
    QVector<QAction *> m_actions;
};
