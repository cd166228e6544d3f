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

int GridTitleHeader::titleRowHeight() const {
    const TGridOptions options = m_grid->options();
    const TExOptions exOptions = m_grid->exOptions();
    const TSMDBGTitleHeight &rule = m_grid->titleHeight();
    const DatasetTableModel *model = m_grid->datasetModel();
    const QFontMetrics fm(m_grid->titleFont());
    if (!options.testFlag(dgTitles)) return 0;
    int h = 0;
    switch (rule.Kind) {
    case TTitleHeightKind::hkAuto: {
        const int line = options.testFlag(dgColLines) ? 1 : 0;
        for (int c = 0; c < model->columnCount(); ++c) {
            const int width = sectionSize(c) - line - 1 - (2 * line + 3);
            const QRect r =
                fm.boundingRect(QRect(0, 0, std::max(width, 1), 100000), captionFlags(), model->caption(c));
            h = std::max(h, r.height());
        }
        break;
    }
    case TTitleHeightKind::hkLineCount:
        h = fm.boundingRect(QStringLiteral("W")).height() * rule.LineCount;
        break;
    case TTitleHeightKind::hkPixelCount:
        h = rule.PixelCount;
        break;
    }
    if (h == 0) h = fm.height(); // no columns: keep room for one line
    h += options.testFlag(dgRowLines) ? 3 : 2;
    if (exOptions.testFlag(eoTitleButtons)) h += 2;
    if (exOptions.testFlag(eoShowFilterBar)) h += 19;
    return h + 2;
}
