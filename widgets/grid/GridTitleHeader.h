#pragma once

#include <QHeaderView>

class TSMDBGrid;

//! The title row: one caption per column, word-wrapped when the grid says so, in a row as
//! tall as the grid's title-height rule makes it. Column borders resize the columns.
class GridTitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridTitleHeader(TSMDBGrid *grid);

    QSize sizeHint() const override;
    //! The title row's height by the grid's title-height rule, without the grid line.
    int titleRowHeight() const;
    //! Text layout flags for captions, as painted and as measured.
    int captionFlags() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TSMDBGrid *m_grid;
};
