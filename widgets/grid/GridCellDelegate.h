#pragma once

#include <QStyledItemDelegate>

class TSMDBGrid;

//! Paints the grid's data cells: highlight for the current cell (or row) and ticked rows,
//! the grid style's row colours, then the owner's cell-parameters request with the painted
//! row as the dataset's current record.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(TSMDBGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TSMDBGrid *m_grid;
};
