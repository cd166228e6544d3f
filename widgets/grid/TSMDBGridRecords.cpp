// The grid's row selection operations and record operations.
#include "TSMDBGrid.h"

#include "ControlsDisabled.h"
#include "Dataset.h"
#include "DbError.h"
#include "Dialogs.h"

void TSMDBGrid::fireChangeSelection() {
    emit OnChangeSelection(this);
}

void TSMDBGrid::selectOneRecord() {
    if (!m_multiSelect) return;
    if (datasetActive()) m_selected.setCurrentRowSelected(true);
    fireChangeSelection();
}

void TSMDBGrid::unselectOneRecord() {
    if (!m_multiSelect) return;
    if (datasetActive()) m_selected.setCurrentRowSelected(false);
    fireChangeSelection();
}

void TSMDBGrid::unselectAllRecords() {
    if (!m_multiSelect) return;
    m_selected.clear();
    m_range.endKeyRange();
    fireChangeSelection();
}

void TSMDBGrid::selectAllRecords() {
    if (!m_multiSelect || !datasetActive()) return;
    Dataset *ds = dataset();
    if (ds->bof() && ds->eof()) return;
    {
        // The owner hears of the selection before the controls show it, also after a failure.
        ControlsDisabled held(ds);
        const QByteArray remembered = ds->bookmark();
        try {
            ds->first();
            while (!ds->eof()) {
                m_selected.setCurrentRowSelected(true);
                ds->next();
            }
        } catch (...) {
            fireChangeSelection();
            throw;
        }
        try {
            if (!remembered.isEmpty() && ds->bookmarkValid(remembered)) ds->gotoBookmark(remembered);
        } catch (const DbError &) {
            // Not being able to return to the record is no failure of the selection.
        }
        fireChangeSelection();
    }
    syncCurrentFromDataset();
}

void TSMDBGrid::refreshData() {
    Dataset *ds = dataset();
    // Only an open dataset is re-read: a closed one has no rows to return to, and its statement
    // may be a placeholder that its owner replaces before opening it (the item list before any
    // shop is chosen would otherwise list every shop's items).
    if (!ds || !ds->isActive()) return;
    if ((ds->state() == DatasetState::Edit || ds->state() == DatasetState::Insert) && ds->canModify())
        ds->post();
    const QByteArray remembered = ds->isActive() ? ds->bookmark() : QByteArray();
    ds->close();
    ds->open();
    try {
        if (!remembered.isEmpty() && ds->bookmarkValid(remembered))
            ds->gotoBookmark(remembered);
        else
            ds->first();
    } catch (const DbError &) {
        ds->first();
    }
}

void TSMDBGrid::deleteData() {
    Dataset *ds = dataset();
    if (!ds || !ds->isActive() || ds->isEmpty()) return;
    if (m_options.testFlag(dgConfirmDelete)) {
        const QString question =
            m_selected.count() < 2 ? QStringLiteral("刪除紀錄?") : QStringLiteral("確定要刪除選取的紀錄?");
        if (!Dialogs::current().askYesNo(question, QStringLiteral("Confirm"))) return;
    }
    if (m_selected.isEmpty()) {
        ds->deleteRecord();
        return;
    }
    // Enabling the controls again repaints the grid once, with the rows and ticks left.
    ControlsDisabled held(ds);
    // Every ticked row passes the dataset's delete check before any goes: a row the user may
    // not delete stops the whole delete with nothing deleted, and the current row stays.
    const QByteArray current = ds->bookmark();
    try {
        for (int i = 0; i < m_selected.count(); ++i) {
            ds->gotoBookmark(m_selected.at(i));
            ds->checkDelete();
        }
    } catch (...) {
        try {
            if (!current.isEmpty() && ds->bookmarkValid(current)) ds->gotoBookmark(current);
        } catch (const DbError &) {
            // The refusal is what the user hears of; the position is secondary.
        }
        throw;
    }
    // From the last entry to the first, so the positions still to come stay valid.
    const int ticked = m_selected.count();
    for (int i = ticked - 1; i >= 0; --i) {
        try {
            ds->gotoBookmark(m_selected.at(i));
            ds->deleteRecord();
        } catch (const DbError &e) {
            const int deleted = ticked - 1 - i;
            if (deleted == 0) throw;
            // Rows are gone already: the message says so, and the rest stay ticked.
            throw DbError(
                QStringLiteral("%1 of the %2 selected records were deleted, the other %3 were not: %4")
                    .arg(QString::number(deleted), QString::number(ticked), QString::number(ticked - deleted),
                         e.message()),
                e.code(), e.statement());
        }
        m_selected.removeAt(i);
    }
}
