#pragma once

#include <QHeaderView>

class TSMDBGrid;

//! The indicator column: one fixed cell per data row with the row's check box (on check-box
//! grids) and its image (current, editing, inserting, ticked). Clicks go to the grid's
//! mouse rules.
class GridIndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridIndicatorHeader(TSMDBGrid *grid);

    QSize sizeHint() const override;
    //! Paints the plain look of a fixed cell (raised edge, button face) into `cell`; returns
    //! the inner rectangle.
    static QRect paintFixedCell(QPainter *painter, const QRect &cell, const QPalette &palette, bool flat,
                                bool colLines);

    //! Paints the corner cell: a fixed cell with the pop-up menu's triangle.
    void paintCorner(QWidget *corner) const;
    //! The colour of the view's grid lines.
    QColor gridLineColour() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TSMDBGrid *m_grid;
};
