#include "GridTitleHeader.h"

#include "DatasetTableModel.h"
#include "TSMDBGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

GridTitleHeader::GridTitleHeader(TSMDBGrid *grid)
    : QHeaderView(Qt::Horizontal, grid)
    , m_grid(grid) {
    setObjectName(QStringLiteral("titles"));
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setStretchLastSection(false);
}

QSize GridTitleHeader::sizeHint() const {
    const int line = m_grid->options().testFlag(dgRowLines) ? 1 : 0;
    return QSize(QHeaderView::sizeHint().width(), m_grid->computeTitleHeight() + line);
}

int GridTitleHeader::captionFlags() const {
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
    if (m_grid->exOptions().testFlag(eoTitleWordWrap)) flags |= Qt::TextWordWrap;
    return flags;
}

void GridTitleHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    painter->save();
    // The style's own header section first (the desktop's themed look where it has one).
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = logicalIndex;
    opt.text.clear();
    opt.state |= QStyle::State_Raised;
    if (!isEnabled()) opt.state &= ~QStyle::State_Enabled;
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);

    const QString caption = m_grid->datasetModel()->caption(logicalIndex);
    if (!caption.isEmpty()) {
        painter->setFont(m_grid->titleFont());
        painter->setPen(palette().color(QPalette::ButtonText));
        const QRect textRect = rect.adjusted(2, 2, -1, -1);
        painter->setClipRect(rect);
        painter->drawText(textRect, captionFlags(), caption);
    }
    painter->restore();
}

void GridTitleHeader::mousePressEvent(QMouseEvent *event) {
    const int column = TSMDBGrid::sectionOrOutside(logicalIndexAt(event->position().toPoint()));
    m_grid->gridMouseDown(event, {-1, column}, [this, event] { QHeaderView::mousePressEvent(event); });
}

void GridTitleHeader::mouseReleaseEvent(QMouseEvent *event) {
    QHeaderView::mouseReleaseEvent(event);
    const int column = TSMDBGrid::sectionOrOutside(logicalIndexAt(event->position().toPoint()));
    m_grid->gridMouseUp(event, {-1, column});
}

void GridTitleHeader::mouseDoubleClickEvent(QMouseEvent *event) {
    // A double click on a border would fit the column to its contents, which walks every row.
    event->accept();
}
