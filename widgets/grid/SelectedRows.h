#pragma once

#include <QByteArray>
#include <QList>
#include <functional>

class DataLink;

//! The grid's ticked rows: the rows' bookmarks, sorted in the dataset's bookmark order and
//! without duplicates, so that walking the list from first to last visits the rows in
//! dataset order whatever order they were ticked in. Look-ups are binary searches that
//! remember the last bookmark looked up until the list changes.
class SelectedRows {
public:
    //! `link` gives the dataset; `repaint(wholeGrid)` asks the grid to repaint.
    SelectedRows(const DataLink *link, std::function<void(bool)> repaint);

    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    //! The bookmark at `index` (0 .. count() - 1).
    const QByteArray &at(int index) const { return m_items.at(index); }
    const QList<QByteArray> &items() const { return m_items; }

    //! Is the dataset's current record in the list? Throws DbError on a closed dataset.
    bool currentRowSelected() const;
    //! Puts the current record in or takes it out; nothing when it is already so or the
    //! dataset gives no bookmark. Throws DbError on a closed dataset.
    void setCurrentRowSelected(bool selected);
    //! Is `bookmark` in the list? `index` gets its position, or where it would go.
    bool find(const QByteArray &bookmark, int *index = nullptr) const;
    //! Removes the entry at `index`.
    void removeAt(int index);
    //! Follows the dataset after its rows changed: drops the entries whose rows are gone and
    //! puts the rest back in dataset order (a requery may reorder them); true when the list
    //! changed.
    bool followDataset();
    //! Empties the list; repaints the whole grid when it held anything.
    void clear();

private:
    void requireActive() const;
    void forget() const { m_hasLast = false; }

    const DataLink *m_link;
    std::function<void(bool)> m_repaint;
    QList<QByteArray> m_items;
    // Memory of the last look-up, dropped whenever the list changes.
    mutable bool m_hasLast = false;
    mutable QByteArray m_lastBookmark;
    mutable bool m_lastFound = false;
    mutable int m_lastIndex = 0;
};
