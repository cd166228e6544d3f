// The grid's mouse and wheel rules.
#include "TSMDBGrid.h"

#include "Dataset.h"
#include "DatasetTableModel.h"
#include "DbError.h"
#include "Dialogs.h"
#include "GridBlobEditor.h"
#include "GridPopupMenu.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace {
void reportFailure(const DbError &e) {
    Dialogs::current().error(e.message());
}
} // namespace

void TSMDBGrid::showPopupMenu(const QPoint &globalPos) {
    m_popup->prepare();
    m_popup->exec(globalPos);
}

void TSMDBGrid::gridMouseDown(QMouseEvent *event, Cell cell, const std::function<void()> &base) {
    m_releaseTaken = false;
    Dataset *ds = dataset();
    if (!ds || ds->controlsDisabled() || !isEnabled()) return;
    setFocus(Qt::MouseFocusReason);
    try {
        const bool active = ds->isActive();
        if (event->type() == QEvent::MouseButtonDblClick && event->button() == Qt::LeftButton) {
            doubleClick();
            return;
        }
        if (m_multiSelect && active) m_range.anchorMouse();

        const bool corner = cell.row == -1 && cell.column == -1 && m_options.testFlag(dgIndicator);
        const bool ownMenu =
            contextMenuPolicy() == Qt::CustomContextMenu || contextMenuPolicy() == Qt::ActionsContextMenu;
        // The right button has the menu anywhere right of the indicator column, beyond the last
        // row and column too.
        if (m_exOptions.testFlag(eoStandardPopup) && active &&
            (corner || (event->button() == Qt::RightButton && cell.column != -1 && !ownMenu))) {
            showPopupMenu(event->globalPosition().toPoint());
            m_releaseTaken = true;
        }

        if (cell.column >= 0 || !active) {
            if (base) base();
        } else if (cell.column == -1 && cell.row >= 0 && cell.row < m_model->rowCount()) {
            // The indicator column makes its row current and keeps the current column.
            const QModelIndex current = currentIndex();
            setCurrentIndex(m_model->index(cell.row, current.isValid() ? current.column() : 0));
        }

        if (cell.row == -1 && m_options.testFlag(dgColumnResize)) return;
        if (event->button() != Qt::LeftButton || !m_multiSelect || !datasetActive()) return;
        m_range.endKeyRange();
        if (event->modifiers().testFlag(Qt::ControlModifier)) {
            m_selected.setCurrentRowSelected(!m_selected.currentRowSelected());
            fireChangeSelection();
        } else if (!m_exOptions.testFlag(eoKeepSelection)) {
            m_selected.clear();
            m_selected.setCurrentRowSelected(true);
            fireChangeSelection();
        }
    } catch (const DbError &e) {
        reportFailure(e);
    }
}

void TSMDBGrid::gridMouseUp(QMouseEvent *event, Cell cell) {
    Dataset *ds = dataset();
    if (std::exchange(m_releaseTaken, false) || !ds || ds->controlsDisabled()) return;
    try {
        if (m_multiSelect && event->modifiers().testFlag(Qt::ShiftModifier) && m_range.hasMouseAnchor() &&
            ds->isActive()) {
            m_range.selectFromMouseAnchor();
            syncCurrentFromDataset();
        }
        if (m_exOptions.testFlag(eoCheckBoxSelect) && cell.column == -1 && cell.row >= -1) checkBoxToggle();
        if (event->button() == Qt::LeftButton && cell.column >= 0 && cell.row >= 0)
            emit OnCellClick(this, cell.column);
    } catch (const DbError &e) {
        reportFailure(e);
    }
}

TSMDBGrid::Cell TSMDBGrid::cellAt(const QPoint &pos) const {
    return {sectionOrOutside(rowAt(pos.y())), sectionOrOutside(columnAt(pos.x()))};
}

void TSMDBGrid::mousePressEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    gridMouseDown(event, cellAt(pos), [this, event] { QTableView::mousePressEvent(event); });
}

void TSMDBGrid::mouseReleaseEvent(QMouseEvent *event) {
    QTableView::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    gridMouseUp(event, cellAt(pos));
}

void TSMDBGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    const QPoint pos = event->position().toPoint();
    gridMouseDown(event, cellAt(pos), nullptr);
}

void TSMDBGrid::checkBoxToggle() {
    if (!datasetActive() || (!m_multiSelect && !m_exOptions.testFlag(eoCheckBoxSelect))) return;
    if (!m_multiSelect) {
        // One tick at most: keep only the current row's state, then flip it.
        const bool was = m_selected.currentRowSelected();
        m_selected.clear();
        if (was) m_selected.setCurrentRowSelected(true);
    }
    m_selected.setCurrentRowSelected(!m_selected.currentRowSelected());
    fireChangeSelection();
}

void TSMDBGrid::doubleClick() {
    if (isEventSet(&TSMDBGrid::OnDblClick)) {
        emit OnDblClick(this);
        return;
    }
    if (m_exOptions.testFlag(eoBLOBEditor) && GridBlobEditor::canEdit(this))
        GridBlobEditor::editCurrentCell(this);
}

void TSMDBGrid::wheelEvent(QWheelEvent *event) {
    event->accept();
    if (!datasetActive() || !isEnabled()) return;
    setFocus(Qt::MouseFocusReason);
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    Dataset *ds = dataset();
    try {
        // One record per notch: down for a turn towards the user, up for one away.
        for (int i = 0; i < std::abs(notches); ++i) {
            if (ds->state() != DatasetState::Browse) ds->checkBrowseMode();
            ds->moveBy(notches > 0 ? -1 : 1);
        }
    } catch (const DbError &e) {
        reportFailure(e);
    }
}
