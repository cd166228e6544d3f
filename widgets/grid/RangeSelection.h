#pragma once

#include <QByteArray>

class DataLink;
class SelectedRows;

//! The anchors of range selection on a grid's selected-rows list: the mouse range anchor
//! (the current record when a button last went down) for Shift+click, and the keyboard
//! range anchor with its flag (a Shift+arrow range being extended).
class RangeSelection {
public:
    //! `link` gives the dataset; ranges are ticked in `rows`.
    RangeSelection(const DataLink *link, SelectedRows &rows);

    //! Forgets both anchors (the dataset opened, closed or went away).
    void reset();

    //! Takes the current record as the mouse range anchor.
    void anchorMouse();
    bool hasMouseAnchor() const { return !m_mouseAnchor.isEmpty(); }
    //! Ticks every row from the mouse range anchor to the current record, both included, and
    //! ends on that record. Walks with the dataset's controls disabled.
    void selectFromMouseAnchor();

    //! What a Shift+arrow step did to the list before its move.
    struct KeyStep {
        bool changed = false;   //!< the list changed before the move
        bool tickAfter = false; //!< the row reached is to be ticked
    };
    //! Before a Shift+arrow move by `distance` (+1 or -1): starts a range at the current row,
    //! or, moving back towards the anchor, unticks the row being left.
    KeyStep extendKeyRange(int distance);
    //! Ends the keyboard range: the next Shift+arrow starts a new one.
    void endKeyRange() { m_keyRange = false; }
    bool keyRangeActive() const { return m_keyRange; }

private:
    const DataLink *m_link;
    SelectedRows &m_rows;
    QByteArray m_mouseAnchor;
    QByteArray m_keyAnchor;
    bool m_keyRange = false;
};
