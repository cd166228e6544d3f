#include "TSMDBGrid.h"

#include "ControlTab.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DatasetTableModel.h"
#include "DbError.h"
#include "Dialogs.h"
#include "Field.h"
#include "GridCellDelegate.h"
#include "GridIndicatorHeader.h"
#include "GridPopupMenu.h"
#include "GridSettings.h"
#include "GridTitleHeader.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

// Resources of a static library must be registered explicitly, outside any namespace.
static void initGridResources() {
    Q_INIT_RESOURCE(grid);
}

TSMDBGrid::TSMDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new DatasetTableModel(this))
    , m_selected(m_model,
                 [this](bool) {
                     // Ticks show in the cells' colours and in the indicator column.
                     viewport()->update();
                     m_indicatorHeader->viewport()->update();
                 })
    , m_range(m_model, m_selected) {
    initGridResources();
    m_titleHeader = new GridTitleHeader(this);
    m_indicatorHeader = new GridIndicatorHeader(this);
    setHorizontalHeader(m_titleHeader);
    setVerticalHeader(m_indicatorHeader);
    setModel(m_model);
    setItemDelegate(new GridCellDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Whole rows at the top, so the visible window is a run of records as in a buffer.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAutoScroll(false);
    setFocusPolicy(Qt::StrongFocus);
    // Tab moves between the cells; Ctrl+Tab leaves the grid.
    ControlTab::attach(this);
    m_popup = new GridPopupMenu(this);

    m_corner = findChild<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    if (m_corner) {
        m_corner->setObjectName(QStringLiteral("popupCorner"));
        m_corner->setAccessibleName(QStringLiteral("選單"));
        m_corner->installEventFilter(this);
    }

    m_gridStyle.OddColor = palette().color(QPalette::Base);
    m_gridStyle.EvenColor = m_gridStyle.OddColor;
    m_titleFont = QFont(QStringLiteral("MS Sans Serif"));
    m_titleFont.setPixelSize(11);
    m_titleHeight.PixelCount = m_defaultRowHeight;

    connect(m_model, &DatasetTableModel::activeStateChanged, this, &TSMDBGrid::onActiveStateChanged);
    connect(m_model, &DatasetTableModel::currentRecordMoved, this, &TSMDBGrid::syncCurrentFromDataset);
    connect(m_model, &DatasetTableModel::editingStateChanged, this,
            [this] { m_indicatorHeader->viewport()->update(); });
    connect(m_model, &DatasetTableModel::contentsChanged, this, [this] {
        viewport()->update();
        m_indicatorHeader->viewport()->update();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        updateTitleHeight();
    });
    // Rows deleted by other means (a navigator, another page) leave no ticks behind, and a
    // requery that reorders the rows leaves the ticks in the new order.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { m_selected.followDataset(); });
    connect(m_model, &DatasetTableModel::contentsChanged, this, [this] { m_selected.followDataset(); });
    connect(m_titleHeader, &QHeaderView::sectionResized, this, [this] { updateTitleHeight(); });

    setOptions(kDefaultGridOptions);
    setScrollBars(TScrollStyle::ssBoth);
    applyRowHeight();
}

TSMDBGrid::~TSMDBGrid() {
    // The link must leave its source before the model goes.
    m_model->bindSource(nullptr);
}

TSMDBGrid *TSMDBGrid::place(const QString &name, DataSource *source, QWidget *parent,
                            const GridSettings &settings) {
    auto *grid = new TSMDBGrid(parent);
    grid->setObjectName(name);
    grid->setAccessibleName(name);
    grid->applySettings(settings);
    grid->setDataSource(source);
    return grid;
}

void TSMDBGrid::applySettings(const GridSettings &s) {
    // The order a form applies them: the indicator rule must see the check-box option first.
    setOptions(s.options);
    setReadOnly(s.readOnly);
    setExOptions(s.exOptions);
    setWidthOfIndicator(s.widthOfIndicator);
    setDefaultRowHeight(s.defaultRowHeight);
    setScrollBars(s.scrollBars);
    setFlat(s.flat);
    setTitleHeight(s.titleHeight);
}

void TSMDBGrid::setDataSource(DataSource *source) {
    m_range.reset();
    m_model->bindSource(source);
}

DataSource *TSMDBGrid::dataSource() const {
    return m_model->dataSource();
}

Dataset *TSMDBGrid::dataset() const {
    return m_model->dataset();
}

bool TSMDBGrid::datasetActive() const {
    return m_model->active();
}

Field *TSMDBGrid::columnField(int column) const {
    return m_model->fieldAt(column);
}

TGridOptions TSMDBGrid::options() const {
    return m_multiSelect ? m_options | dgMultiSelect : m_options;
}

void TSMDBGrid::setOptions(TGridOptions options) {
    const bool multi = options.testFlag(dgMultiSelect);
    if (m_multiSelect && !multi) m_selected.clear();
    m_multiSelect = multi;
    m_options = options & ~TGridOptions(dgMultiSelect);

    horizontalHeader()->setVisible(m_options.testFlag(dgTitles));
    verticalHeader()->setVisible(m_options.testFlag(dgIndicator));
    setShowGrid(m_options.testFlag(dgColLines) || m_options.testFlag(dgRowLines));
    horizontalHeader()->setSectionResizeMode(m_options.testFlag(dgColumnResize) ? QHeaderView::Interactive
                                                                                : QHeaderView::Fixed);
    setTabKeyNavigation(m_options.testFlag(dgTabs));
    applyRowHeight();
    updateTitleHeight();
    viewport()->update();
}

int TSMDBGrid::checkBoxIndicatorWidth() const {
    const bool bothLines = m_options.testFlag(dgColLines) && m_options.testFlag(dgRowLines);
    return checkSize().width() + (bothLines ? 4 : 8) + 6;
}

void TSMDBGrid::setExOptions(TExOptions options) {
    if (options == m_exOptions) return;
    m_exOptions = options;
    const int m = checkBoxIndicatorWidth();
    if (!options.testFlag(eoCheckBoxSelect) && m_widthOfIndicator == m)
        m_widthOfIndicator = 11;
    else if (options.testFlag(eoCheckBoxSelect) && m_widthOfIndicator == 11)
        m_widthOfIndicator = m;
    updateGeometries();
    updateTitleHeight();
    viewport()->update();
    m_indicatorHeader->viewport()->update();
}

void TSMDBGrid::setWidthOfIndicator(int width) {
    if (m_exOptions.testFlag(eoCheckBoxSelect)) width = std::max(width, checkBoxIndicatorWidth());
    m_widthOfIndicator = std::max(width, 11);
    updateGeometries();
    m_indicatorHeader->viewport()->update();
}

void TSMDBGrid::setDefaultRowHeight(int height) {
    if (height == m_defaultRowHeight || height == 0) return;
    m_defaultRowHeight = height;
    applyRowHeight();
}

void TSMDBGrid::applyRowHeight() {
    // A section holds the row and the grid line below it.
    const int line = m_options.testFlag(dgRowLines) ? 1 : 0;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(m_defaultRowHeight + line);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TSMDBGrid::setFlat(bool flat) {
    m_flat = flat;
    viewport()->update();
    m_indicatorHeader->viewport()->update();
    if (m_corner) m_corner->update();
}

void TSMDBGrid::setScrollBars(TScrollStyle bars) {
    m_scrollBars = bars;
    const bool h = bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth;
    const bool v = bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth;
    setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TSMDBGrid::setGridStyle(const TSMDBGridStyle &style) {
    m_gridStyle = style;
    viewport()->update();
}

void TSMDBGrid::setTitleHeight(const TSMDBGTitleHeight &rule) {
    m_titleHeight = rule;
    updateTitleHeight();
}

void TSMDBGrid::setTitleFont(const QFont &font) {
    m_titleFont = font;
    updateTitleHeight();
}

QSize TSMDBGrid::checkSize() {
    // The classic check-box bitmap's cell; the style draws the box into it.
    static const QSize size(13, 13);
    return size;
}

const QPixmap &TSMDBGrid::indicatorImage(int index) {
    static const QList<QPixmap> images = [] {
        initGridResources();
        QList<QPixmap> list;
        for (const char *name : {"SM_DBGARROW", "SM_DBGEDIT", "SM_DBGINSERT", "SM_MSDOT", "SM_MSARROW"}) {
            QPixmap pm(QStringLiteral(":/grid/") + QLatin1String(name));
            pm.setMask(pm.createMaskFromColor(Qt::white));
            list.append(pm);
        }
        return list;
    }();
    return images.at(std::clamp(index, 0, int(images.size()) - 1));
}

bool TSMDBGrid::isRowTicked(int row) const {
    if (m_selected.isEmpty() || !datasetActive()) return false;
    Dataset *ds = dataset();
    if (row < 0 || row >= ds->recordCount()) return false;
    const int previous = ds->setCurrentRowQuiet(row);
    const QByteArray bookmark = ds->bookmark();
    ds->setCurrentRowQuiet(previous);
    return !bookmark.isEmpty() && m_selected.find(bookmark);
}

int TSMDBGrid::topRow() const {
    return rowAt(0);
}

void TSMDBGrid::applyColumnWidths() {
    // A display width counts half-width characters; a CJK font's own average is a full-width one.
    const QFontMetrics fm(font());
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const int charWidth = std::max(1, (fm.horizontalAdvance(alphabet) + 26) / 52);
    const QFontMetrics titleFm(m_titleFont);
    const int line = m_options.testFlag(dgColLines) ? 1 : 0;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const Field *field = m_model->fieldAt(c);
        if (!field) continue;
        int width = field->displayWidth() * charWidth + 4;
        // Wide enough for a one-line caption with the title's margins.
        int longest = 0;
        for (const QString &part : m_model->caption(c).split(QLatin1Char('\n')))
            longest = std::max(longest, titleFm.horizontalAdvance(part));
        width = std::max(width, longest + 7);
        horizontalHeader()->resizeSection(c, width + line);
    }
}

int TSMDBGrid::computeTitleHeight() const {
    return m_titleHeader->titleRowHeight();
}

void TSMDBGrid::updateTitleHeight() {
    m_titleHeader->updateGeometry();
    updateGeometries();
    m_titleHeader->viewport()->update();
    if (m_corner) m_corner->update();
}

void TSMDBGrid::onActiveStateChanged() {
    // Opening or closing the dataset drops every tick, without a selection event.
    m_selected.clear();
    m_range.reset();
    updateTitleHeight();
    viewport()->update();
}

void TSMDBGrid::syncCurrentFromDataset() {
    viewport()->update();
    m_indicatorHeader->viewport()->update();
    Dataset *ds = dataset();
    if (!ds || !ds->isActive() || m_model->columnCount() == 0) return;
    const int row = ds->currentRow();
    if (row < 0 || row >= m_model->rowCount()) return;
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? std::min(current.column(), m_model->columnCount() - 1) : 0;
    if (!current.isValid() || current.row() != row) {
        const bool wasSyncing = m_syncing;
        m_syncing = true;
        setCurrentIndex(m_model->index(row, column));
        m_syncing = wasSyncing;
    }
    scrollTo(currentIndex());
}

void TSMDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    viewport()->update();
    m_indicatorHeader->viewport()->update();
    // The view moves its current index itself when the current row goes; the dataset has
    // already decided where it stands, and the view follows it once the model is done.
    if (m_syncing || m_model->relaying() || !current.isValid() || !datasetActive()) return;
    if (current.row() != dataset()->currentRow()) moveDatasetTo(current.row());
}

void TSMDBGrid::moveDatasetTo(int row) {
    Dataset *ds = dataset();
    m_syncing = true;
    try {
        if (ds->state() == DatasetState::Edit || ds->state() == DatasetState::Insert) {
            const bool inserting = ds->state() == DatasetState::Insert;
            const int insertedRow = ds->currentRow();
            const int before = ds->recordCount();
            ds->checkBrowseMode();
            // An unchanged new record was dropped: rows below it moved up by one.
            if (inserting && ds->recordCount() < before && insertedRow < row) --row;
        }
        if (row >= 0 && row < ds->recordCount()) ds->moveBy(row - ds->currentRow());
    } catch (const DbError &e) {
        m_syncing = false;
        syncCurrentFromDataset();
        Dialogs::current().error(e.message());
        return;
    }
    m_syncing = false;
    syncCurrentFromDataset();
}

void TSMDBGrid::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (datasetActive()) return;
    // Centred in the grid's whole client area, drawn on the viewport that covers its middle.
    QPainter painter(viewport());
    const QRect client(viewport()->mapFrom(this, contentsRect().topLeft()), contentsRect().size());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(client, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("無資料顯示"));
}

void TSMDBGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // Row colours depend on the position in the window: repaint all, not only the uncovered part.
    viewport()->update();
    m_indicatorHeader->viewport()->update();
}

void TSMDBGrid::keyboardSearch(const QString &search) {
    // Typing letters does not search: that would walk every row of the dataset.
    (void)search;
}

void TSMDBGrid::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    viewport()->update();
}

void TSMDBGrid::changeEvent(QEvent *event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateTitleHeight();
}

bool TSMDBGrid::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_corner && m_corner) {
        switch (event->type()) {
        case QEvent::Paint:
            m_indicatorHeader->paintCorner(m_corner);
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            gridMouseDown(static_cast<QMouseEvent *>(event), {-1, -1}, nullptr);
            return true;
        case QEvent::MouseButtonRelease:
            gridMouseUp(static_cast<QMouseEvent *>(event), {-1, -1});
            return true;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}
