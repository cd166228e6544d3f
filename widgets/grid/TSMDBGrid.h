#pragma once

#include "GridSettings.h"
#include "GridTypes.h"
#include "RangeSelection.h"
#include "SelectedRows.h"

#include <QMetaMethod>
#include <QPixmap>
#include <QTableView>
#include <functional>
#include <memory>

class DataSource;
class Dataset;
class DatasetTableModel;
class Field;
class GridIndicatorHeader;
class GridPopupMenu;
class GridTitleHeader;

//! The data grid: a table view over a dataset with check-box row selection, a cell
//! parameters request, an indicator column, a standard pop-up menu and an Enter key that
//! moves to the next column.
//!
//! Events are Qt signals named after the events, each carrying the grid first. Connect them
//! with direct connections: the cell-parameters handler answers through its reference
//! arguments, and an event nobody connected counts as not set (the pop-up menu hides its
//! item, the default action runs).
class TSMDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TSMDBGrid(QWidget *parent = nullptr);
    ~TSMDBGrid() override;

    //! Builds a grid named `name` with the settings its page gives it, bound to `source`.
    static TSMDBGrid *place(const QString &name, DataSource *source, QWidget *parent,
                            const GridSettings &settings = GridSettings());
    //! Applies stored settings in the order a form lists them.
    void applySettings(const GridSettings &settings);

    // --- binding
    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    Dataset *dataset() const;
    //! The dataset is there and open.
    bool datasetActive() const;
    DatasetTableModel *datasetModel() const { return m_model; }
    //! The field of data column `column`, or null.
    Field *columnField(int column) const;

    // --- properties
    TGridOptions options() const;
    void setOptions(TGridOptions options);
    TExOptions exOptions() const { return m_exOptions; }
    void setExOptions(TExOptions options);
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int widthOfIndicator() const { return m_widthOfIndicator; }
    void setWidthOfIndicator(int width);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    bool flat() const { return m_flat; }
    void setFlat(bool flat);
    TScrollStyle scrollBars() const { return m_scrollBars; }
    void setScrollBars(TScrollStyle bars);
    const TSMDBGridStyle &gridStyle() const { return m_gridStyle; }
    void setGridStyle(const TSMDBGridStyle &style);
    const TSMDBGTitleHeight &titleHeight() const { return m_titleHeight; }
    void setTitleHeight(const TSMDBGTitleHeight &rule);
    //! The title captions' font.
    QFont titleFont() const { return m_titleFont; }
    void setTitleFont(const QFont &font);
    //! Size of one check box, shared by all grids.
    static QSize checkSize();
    //! The indicator image `index` (0 arrow, 1 edit, 2 insert, 3 dot, 4 selected arrow).
    static const QPixmap &indicatorImage(int index);

    // --- selection
    //! Is the multi-select flag set?
    bool multiSelect() const { return m_multiSelect; }
    //! The selected-rows list.
    SelectedRows &selectedRows() { return m_selected; }
    const SelectedRows &selectedRows() const { return m_selected; }
    //! Is snapshot row `row` in the selected-rows list? Never moves or notifies.
    bool isRowTicked(int row) const;
    void selectOneRecord();
    void selectAllRecords();
    void unselectOneRecord();
    void unselectAllRecords();
    //! Posts pending changes, reopens an open dataset and returns to the same record; a closed
    //! dataset stays closed.
    void refreshData();
    //! The delete rule: asks, then deletes the ticked rows or the current one.
    void deleteData();

    // --- layout and painting helpers
    //! The title row's height by the title-height rule (without the grid line).
    int computeTitleHeight() const;
    //! Recomputes the title row's height and lays the grid out again.
    void updateTitleHeight();
    //! Snapshot row shown in the top visible line, or -1.
    int topRow() const;
    //! The grid's own standard pop-up menu.
    GridPopupMenu *popupMenu() const { return m_popup; }
    //! Shows the standard pop-up menu at `globalPos` and waits until it closes.
    void showPopupMenu(const QPoint &globalPos);

    //! Cell addressing for mouse rules: row -1 is the title row, column -1 the indicator,
    //! kOutside a point beyond the last row or column.
    struct Cell {
        int row = -1;
        int column = -1;
    };
    static constexpr int kOutside = -2;
    //! `index` of a header or view section, or kOutside for none.
    static int sectionOrOutside(int index) { return index < 0 ? kOutside : index; }
    //! The data cell under a point of the viewport.
    Cell cellAt(const QPoint &pos) const;
    //! Mouse-down rules; `base` is the default handling of the part that got the event.
    void gridMouseDown(QMouseEvent *event, Cell cell, const std::function<void()> &base);
    //! Mouse-up rules.
    void gridMouseUp(QMouseEvent *event, Cell cell);

    //! Is anything connected to the event `signal` (for example &TSMDBGrid::OnPrintData)?
    template <typename Signal> bool isEventSet(Signal signal) const {
        return isSignalConnected(QMetaMethod::fromSignal(signal));
    }

signals:
    //! Colours and font of a data cell, asked for every data cell each time it is painted
    //! with the painted row as the dataset's current record; the handler may change the
    //! font, the text colour and the background.
    void OnGetCellParams(TSMDBGrid *sender, Field *field, QFont &font, QColor &fontColor, QColor &background,
                         bool highlight);
    //! The selected-rows list was changed by the user or a select / unselect operation.
    void OnChangeSelection(TSMDBGrid *sender);
    //! A left-button release over a data cell, with its column.
    void OnCellClick(TSMDBGrid *sender, int column);
    //! A double click; when connected, it replaces the large-field editor.
    void OnDblClick(TSMDBGrid *sender);
    //! Record commands of the pop-up menu and the keys; when connected, they replace the
    //! dataset's own operation.
    void OnAppendRecord(TSMDBGrid *sender);
    void OnInsertRecord(TSMDBGrid *sender);
    void OnEditRecord(TSMDBGrid *sender);
    void OnDeleteRecord(TSMDBGrid *sender);
    void OnPostData(TSMDBGrid *sender);
    void OnCancelData(TSMDBGrid *sender);
    void OnRefreshData(TSMDBGrid *sender);
    //! The owner's commands of the pop-up menu; their items show only when connected.
    void OnPrintData(TSMDBGrid *sender);
    void OnExportData(TSMDBGrid *sender);
    void OnFilterData(TSMDBGrid *sender);
    void OnSearchData(TSMDBGrid *sender);
    void OnSetupGrid(TSMDBGrid *sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fireChangeSelection();
    void onActiveStateChanged();
    void syncCurrentFromDataset();
    void applyColumnWidths();
    void applyRowHeight();
    int checkBoxIndicatorWidth() const;
    void checkBoxToggle();
    void keyboardRangeStep(int distance, bool extend);
    void doubleClick();
    void appendRecord();
    void moveToColumn(int column);
    void moveDatasetTo(int row);
    bool keyAction(QKeyEvent *event);

    DatasetTableModel *m_model;
    GridTitleHeader *m_titleHeader;
    GridIndicatorHeader *m_indicatorHeader;
    GridPopupMenu *m_popup;
    QWidget *m_corner = nullptr;
    SelectedRows m_selected;
    RangeSelection m_range;

    TGridOptions m_options = kDefaultGridOptions;
    bool m_multiSelect = false;
    TExOptions m_exOptions = kDefaultExOptions;
    bool m_readOnly = false;
    int m_widthOfIndicator = 11;
    int m_defaultRowHeight = 17;
    bool m_flat = false;
    TScrollStyle m_scrollBars = TScrollStyle::ssBoth;
    TSMDBGridStyle m_gridStyle;
    TSMDBGTitleHeight m_titleHeight;
    QFont m_titleFont;

    bool m_syncing = false;
    int m_wheelRemainder = 0;
    // The release of the button that opened the pop-up menu belongs to the menu.
    bool m_releaseTaken = false;
};
