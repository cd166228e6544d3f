#include "GridIndicatorHeader.h"

#include "Dataset.h"
#include "TSMDBGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

GridIndicatorHeader::GridIndicatorHeader(TSMDBGrid *grid)
    : QHeaderView(Qt::Vertical, grid)
    , m_grid(grid) {
    setObjectName(QStringLiteral("indicator"));
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Fixed);
}

QSize GridIndicatorHeader::sizeHint() const {
    const int line = m_grid->options().testFlag(dgColLines) ? 1 : 0;
    return QSize(m_grid->widthOfIndicator() + line, QHeaderView::sizeHint().height());
}

QRect GridIndicatorHeader::paintFixedCell(QPainter *painter, const QRect &cell, const QPalette &palette,
                                          bool flat, bool colLines) {
    painter->fillRect(cell, palette.color(QPalette::Button));
    if (!flat) {
        // One-pixel raised edge: light at the top and left, shadow at the bottom and right.
        painter->setPen(palette.color(QPalette::Light));
        painter->drawLine(cell.topLeft(), cell.topRight());
        painter->drawLine(cell.topLeft(), cell.bottomLeft());
        painter->setPen(palette.color(QPalette::Dark));
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        painter->drawLine(cell.topRight(), cell.bottomRight());
    }
    return colLines && !flat ? cell.adjusted(1, 1, -1, -1) : cell;
}

void GridIndicatorHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    const TGridOptions options = m_grid->options();
    const bool colLines = options.testFlag(dgColLines);
    const bool rowLines = options.testFlag(dgRowLines);
    const QRect cell(rect.left(), rect.top(), m_grid->widthOfIndicator(), m_grid->defaultRowHeight());

    painter->save();
    // The grid lines right of and below the cell, in the view's grid colour.
    painter->fillRect(rect, gridLineColour());

    const QRect inner = paintFixedCell(painter, cell, palette(), m_grid->flat(), colLines);
    const int margin = colLines && rowLines ? 1 : 2;
    const QRect work = margin == 1 ? inner.adjusted(1, 1, -1, -1) : inner;

    Dataset *ds = m_grid->dataset();
    if (!ds || !ds->isActive()) {
        painter->restore();
        return;
    }
    const TExOptions ex = m_grid->exOptions();
    const bool ticked =
        (m_grid->multiSelect() || ex.testFlag(eoCheckBoxSelect)) && m_grid->isRowTicked(logicalIndex);
    const bool current = logicalIndex == ds->currentRow();

    if (ex.testFlag(eoCheckBoxSelect)) {
        const QSize box = TSMDBGrid::checkSize();
        const int right = work.left() + work.width() - (2 * margin + 6); // exclusive right edge
        QStyleOptionButton opt;
        opt.initFrom(m_grid);
        opt.rect = QRect(right - box.width(), work.top() + (work.height() - box.height()) / 2, box.width(),
                         box.height());
        opt.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
        if (m_grid->flat())
            opt.state |= QStyle::State_None;
        else
            opt.state |= QStyle::State_Raised;
        m_grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, painter, m_grid);
    }

    if (current || ticked) {
        int image = 0;
        switch (ds->state()) {
        case DatasetState::Browse:
            image = ticked ? (current ? 4 : 3) : 0;
            break;
        case DatasetState::Edit:
            image = 1;
            break;
        case DatasetState::Insert:
            image = 2;
            break;
        default:
            image = 0;
        }
        const int innerRight = inner.left() + inner.width();
        int left = innerRight - 6 - margin;
        if (layoutDirection() == Qt::RightToLeft) ++left;
        const int top = (inner.top() + inner.top() + inner.height() - 11) / 2;
        painter->drawPixmap(left, top, TSMDBGrid::indicatorImage(image));
    }
    painter->restore();
}

void GridIndicatorHeader::mousePressEvent(QMouseEvent *event) {
    const int row = TSMDBGrid::sectionOrOutside(logicalIndexAt(event->position().toPoint()));
    m_grid->gridMouseDown(event, {row, -1}, nullptr);
}

void GridIndicatorHeader::mouseReleaseEvent(QMouseEvent *event) {
    const int row = TSMDBGrid::sectionOrOutside(logicalIndexAt(event->position().toPoint()));
    m_grid->gridMouseUp(event, {row, -1});
}

void GridIndicatorHeader::mouseDoubleClickEvent(QMouseEvent *event) {
    const int row = TSMDBGrid::sectionOrOutside(logicalIndexAt(event->position().toPoint()));
    m_grid->gridMouseDown(event, {row, -1}, nullptr);
}

void GridIndicatorHeader::mouseMoveEvent(QMouseEvent *event) {
    // Rows are not resized or dragged from the indicator column.
    event->accept();
}

void GridIndicatorHeader::paintCorner(QWidget *corner) const {
    QPainter painter(corner);
    const QRect rect = corner->rect();
    painter.fillRect(rect, gridLineColour());
    const QRect cell(0, 0, m_grid->widthOfIndicator(), m_grid->computeTitleHeight());
    const QRect inner =
        paintFixedCell(&painter, cell, palette(), m_grid->flat(), m_grid->options().testFlag(dgColLines));
    if (!m_grid->exOptions().testFlag(eoStandardPopup)) return;
    // A small black triangle pointing down: the pop-up menu is here.
    const int left = inner.left();
    const int top = inner.top();
    const int right = inner.left() + inner.width();
    const int bottom = inner.top() + inner.height();
    const int dx = (right - left - 7) / 2;
    const int dy = (bottom - top - 7) / 2;
    const QPoint points[3] = {{left + dx, top + dy}, {left + dx + 7, top + dy}, {left + dx + 3, bottom - dy}};
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawPolygon(points, 3);
}

QColor GridIndicatorHeader::gridLineColour() const {
    QStyleOptionViewItem opt;
    opt.initFrom(m_grid);
    return QColor(
        static_cast<QRgb>(m_grid->style()->styleHint(QStyle::SH_Table_GridLineColor, &opt, m_grid)));
}
