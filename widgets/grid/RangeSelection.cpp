#include "RangeSelection.h"

#include "ControlsDisabled.h"
#include "DataLink.h"
#include "Dataset.h"
#include "SelectedRows.h"

RangeSelection::RangeSelection(const DataLink *link, SelectedRows &rows)
    : m_link(link)
    , m_rows(rows) {}

void RangeSelection::reset() {
    m_mouseAnchor.clear();
    m_keyAnchor.clear();
    m_keyRange = false;
}

void RangeSelection::anchorMouse() {
    m_mouseAnchor = m_link->active() ? m_link->dataset()->bookmark() : QByteArray();
}

void RangeSelection::selectFromMouseAnchor() {
    if (!m_link->active() || m_mouseAnchor.isEmpty()) return;
    Dataset *ds = m_link->dataset();
    ControlsDisabled held(ds);
    const QByteArray target = ds->bookmark();
    ds->gotoBookmark(m_mouseAnchor);
    const int direction = ds->compareBookmarks(target, m_mouseAnchor);
    if (direction != 0) {
        QByteArray reached;
        do {
            m_rows.setCurrentRowSelected(true);
            reached = ds->bookmark();
            if (direction > 0)
                ds->next();
            else
                ds->prior();
        } while (ds->compareBookmarks(reached, target) != 0 && !(direction > 0 ? ds->eof() : ds->bof()));
    }
    ds->gotoBookmark(target);
}

RangeSelection::KeyStep RangeSelection::extendKeyRange(int distance) {
    Dataset *ds = m_link->dataset();
    if (!m_keyRange) {
        m_keyAnchor = ds->bookmark();
        m_rows.setCurrentRowSelected(true);
        m_keyRange = true;
        return {true, true};
    }
    if (ds->compareBookmarks(ds->bookmark(), m_keyAnchor) == -distance) {
        // Going back towards the anchor: the row left behind is unticked.
        m_rows.setCurrentRowSelected(false);
        return {true, false};
    }
    return {false, true};
}
