// The grid's keyboard: the key table, keyboard range steps and the Enter and Tab moves.
#include "TSMDBGrid.h"

#include "Dataset.h"
#include "DatasetTableModel.h"
#include "DbError.h"
#include "Dialogs.h"
#include "UpdatesHeld.h"

#include <QKeyEvent>

void TSMDBGrid::keyPressEvent(QKeyEvent *event) {
    if (!datasetActive()) {
        event->ignore();
        return;
    }
    try {
        if (!keyAction(event)) QTableView::keyPressEvent(event);
    } catch (const DbError &e) {
        Dialogs::current().error(e.message());
    }
}

bool TSMDBGrid::keyAction(QKeyEvent *event) {
    Dataset *ds = dataset();
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const bool browsing = ds->state() == DatasetState::Browse;
    const bool keep = m_exOptions.testFlag(eoKeepSelection);
    const bool canEdit = ds->canModify() && !m_readOnly && m_options.testFlag(dgEditing);
    auto dropSelection = [&] {
        if (!m_multiSelect) return;
        if (!keep) {
            m_selected.clear();
            fireChangeSelection();
        }
        m_range.endKeyRange();
    };

    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
        viewport()->update();
        if (ctrl) dropSelection();
        break;
    default:
        break;
    }

    switch (key) {
    case Qt::Key_Delete:
        if (!ctrl) return false;
        if (!m_exOptions.testFlag(eoDisableDelete) && !m_readOnly && ds->canModify()) deleteData();
        return true;
    case Qt::Key_Down: {
        keyboardRangeStep(1, shift);
        if (ds->eof() && canEdit) {
            const bool lastInWindow = ds->currentRow() == m_model->rowCount() - 1;
            if (!(m_exOptions.testFlag(eoDisableInsert) && lastInWindow)) appendRecord();
        }
        return true;
    }
    case Qt::Key_Up:
        if (browsing) {
            keyboardRangeStep(-1, shift);
        } else {
            // Leaving a new record that nothing changed drops it; otherwise it is stored first.
            const bool inserting = ds->state() == DatasetState::Insert;
            const int before = ds->recordCount();
            ds->checkBrowseMode();
            if (!(inserting && ds->recordCount() < before)) ds->moveBy(-1);
        }
        return true;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (!browsing || !m_exOptions.testFlag(eoENTERlikeTAB)) return false;
        {
            const int column = currentIndex().isValid() ? currentIndex().column() : 0;
            if (column < m_model->columnCount() - 1) {
                moveToColumn(column + 1);
            } else if (!m_exOptions.testFlag(eoDisableInsert) && ds->canModify()) {
                appendRecord();
                moveToColumn(0);
            }
        }
        return true;
    case Qt::Key_Insert:
        if (m_exOptions.testFlag(eoDisableInsert)) return true;
        if (canEdit) {
            dropSelection();
            ds->insert();
            return true;
        }
        return false;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (mods.testFlag(Qt::AltModifier) || !m_options.testFlag(dgTabs)) return false;
        const bool forward = key == Qt::Key_Tab && !shift;
        const int columns = m_model->columnCount();
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        UpdatesHeld hold(this);
        if (forward && column < columns - 1) {
            moveToColumn(column + 1);
        } else if (!forward && column > 0) {
            moveToColumn(column - 1);
        } else {
            // The wrap moves exactly one row and never extends a range.
            keyboardRangeStep(forward ? 1 : -1, false);
            moveToColumn(forward ? 0 : columns - 1);
        }
        return true;
    }
    case Qt::Key_Escape:
        dropSelection();
        if (browsing) return false; // not ours: a dialog around the grid may close on it
        ds->cancel();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        dropSelection();
        return false;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (m_options.testFlag(dgRowSelect)) dropSelection();
        return false;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (m_options.testFlag(dgRowSelect) || m_model->columnCount() == 1) dropSelection();
        return false;
    default:
        return false;
    }
}

void TSMDBGrid::keyboardRangeStep(int distance, bool extend) {
    Dataset *ds = dataset();
    UpdatesHeld hold(this);
    bool selectAfter = false;
    if (m_multiSelect && ds->isActive()) {
        if (!extend) {
            if (!m_exOptions.testFlag(eoKeepSelection)) {
                m_selected.clear();
                fireChangeSelection();
            }
            m_range.endKeyRange();
        } else {
            const RangeSelection::KeyStep step = m_range.extendKeyRange(distance);
            if (step.changed) fireChangeSelection();
            selectAfter = step.tickAfter;
        }
    }
    if (ds->state() == DatasetState::Insert) {
        ds->checkBrowseMode();
    } else {
        if (ds->state() == DatasetState::Edit) ds->checkBrowseMode();
        ds->moveBy(distance);
    }
    if (selectAfter) {
        m_selected.setCurrentRowSelected(true);
        fireChangeSelection();
    }
}

void TSMDBGrid::appendRecord() {
    if (isEventSet(&TSMDBGrid::OnAppendRecord))
        emit OnAppendRecord(this);
    else
        dataset()->append();
}

void TSMDBGrid::moveToColumn(int column) {
    Dataset *ds = dataset();
    const int row = ds->currentRow();
    if (row >= 0 && row < m_model->rowCount() && column >= 0 && column < m_model->columnCount())
        setCurrentIndex(m_model->index(row, column));
}
