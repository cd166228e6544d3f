#include "GridCellDelegate.h"

#include "Dataset.h"
#include "DatasetTableModel.h"
#include "DbError.h"
#include "TSMDBGrid.h"

#include <QApplication>
#include <QPainter>

GridCellDelegate::GridCellDelegate(TSMDBGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid) {}

QSize GridCellDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    // Rows have a fixed height; never measure cell texts.
    (void)index;
    return QSize(option.rect.width(), m_grid->defaultRowHeight());
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    const int row = index.row();
    const TGridOptions options = m_grid->options();
    const QModelIndex current = m_grid->currentIndex();
    const bool selectedState = options.testFlag(dgRowSelect) ? current.row() == row : current == index;
    const bool focused = m_grid->hasFocus() || options.testFlag(dgAlwaysShowSelection);
    const bool ticked =
        (m_grid->multiSelect() || m_grid->exOptions().testFlag(eoCheckBoxSelect)) && m_grid->isRowTicked(row);
    const bool highlight = (selectedState && focused) || ticked;

    const QPalette &pal = option.palette;
    QColor background = highlight ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
    QColor textColour = highlight ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    const TSMDBGridStyle &gridStyle = m_grid->gridStyle();
    if (!highlight && gridStyle.Style != TSMGridStyleKind::gsNormal)
        background = (row - m_grid->topRow()) % 2 == 0 ? gridStyle.OddColor : gridStyle.EvenColor;

    QFont font = option.font;
    Dataset *ds = m_grid->dataset();
    if (m_grid->isEventSet(&TSMDBGrid::OnGetCellParams) && ds && ds->isActive()) {
        // Whatever the handler does to the position is undone, and nothing it does makes
        // the grid repaint from inside painting.
        const Dataset::QuietRow quiet(ds, row);
        try {
            emit m_grid->OnGetCellParams(m_grid, m_grid->columnField(index.column()), font, textColour,
                                         background, highlight);
        } catch (const DbError &) {
            // Painting cannot report; the cell keeps the colours it had.
        }
    }

    // The style's item panel first, with our colours and without its own selection look.
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    opt.backgroundBrush = background;
    opt.features |= QStyleOptionViewItem::HasDisplay;
    QStyle *style = m_grid->style();
    painter->save();
    painter->fillRect(opt.rect, background);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, m_grid);

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        painter->setClipRect(opt.rect);
        painter->setFont(font);
        painter->setPen(textColour);
        // On the cell font's own baseline: a line with CJK glyphs from a fallback font would
        // otherwise sit lower than a Latin one and lose its bottom to the 17-pixel row.
        const QFontMetrics fm(font);
        const QRect area = opt.rect.adjusted(2, 2, -2, 0);
        int x = area.left();
        if (align & Qt::AlignRight)
            x = area.right() + 1 - fm.horizontalAdvance(text);
        else if (align & Qt::AlignHCenter)
            x = area.left() + (area.width() - fm.horizontalAdvance(text)) / 2;
        painter->drawText(QPoint(x, area.top() + fm.ascent()), text);
    }
    if (selectedState && m_grid->hasFocus() && !options.testFlag(dgRowSelect)) {
        // The classic dotted focus frame just inside the cell; the cell's colour stays as it is.
        painter->setClipping(false);
        painter->setPen(QPen(textColour, 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
