#include "SelectedRows.h"

#include "DataLink.h"
#include "Dataset.h"
#include "DbError.h"

#include <algorithm>

SelectedRows::SelectedRows(const DataLink *link, std::function<void(bool)> repaint)
    : m_link(link)
    , m_repaint(std::move(repaint)) {}

void SelectedRows::requireActive() const {
    if (!m_link->active()) throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

bool SelectedRows::find(const QByteArray &bookmark, int *index) const {
    if (m_hasLast && m_lastBookmark == bookmark) {
        if (index) *index = m_lastIndex;
        return m_lastFound;
    }
    const Dataset *dataset = m_link->dataset();
    int lo = 0;
    int hi = int(m_items.size()) - 1;
    bool found = false;
    while (lo <= hi && dataset) {
        const int mid = (lo + hi) / 2;
        const int cmp = dataset->compareBookmarks(m_items.at(mid), bookmark);
        if (cmp < 0) {
            lo = mid + 1;
        } else if (cmp > 0) {
            hi = mid - 1;
        } else {
            lo = mid;
            found = true;
            break;
        }
    }
    m_hasLast = true;
    m_lastBookmark = bookmark;
    m_lastFound = found;
    m_lastIndex = lo;
    if (index) *index = lo;
    return found;
}

bool SelectedRows::currentRowSelected() const {
    requireActive();
    const QByteArray bookmark = m_link->dataset()->bookmark();
    return !bookmark.isEmpty() && find(bookmark);
}

void SelectedRows::setCurrentRowSelected(bool selected) {
    requireActive();
    const QByteArray bookmark = m_link->dataset()->bookmark();
    if (bookmark.isEmpty()) return;
    int index = 0;
    if (find(bookmark, &index) == selected) return;
    if (selected)
        m_items.insert(index, bookmark);
    else
        m_items.removeAt(index);
    forget();
    if (m_repaint) m_repaint(false);
}

void SelectedRows::removeAt(int index) {
    m_items.removeAt(index);
    forget();
}

void SelectedRows::clear() {
    if (m_items.isEmpty()) return;
    m_items.clear();
    forget();
    if (m_repaint) m_repaint(true);
}

bool SelectedRows::followDataset() {
    const Dataset *dataset = m_link->dataset();
    if (m_items.isEmpty() || !dataset || !dataset->isActive()) return false;
    const qsizetype before = m_items.size();
    m_items.removeIf([dataset](const QByteArray &b) { return !dataset->bookmarkValid(b); });
    const auto inOrder = [dataset](const QByteArray &a, const QByteArray &b) {
        return dataset->compareBookmarks(a, b) < 0;
    };
    const bool sorted = std::is_sorted(m_items.cbegin(), m_items.cend(), inOrder);
    if (m_items.size() == before && sorted) return false;
    if (!sorted) std::sort(m_items.begin(), m_items.end(), inOrder);
    forget();
    if (m_repaint) m_repaint(true);
    return true;
}
