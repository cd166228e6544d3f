#pragma once

#include "Dataset.h"
#include "ResultSet.h"

#include <QHash>
#include <vector>

//! What an open dataset holds: its rows, their order, and the record being edited.
struct Dataset::Snapshot {
    ResultSet rs;
    //! Storage row of each position; -1 for a new record not stored yet.
    std::vector<int> order;
    //! Position of the record in edit or insert state; -1 when browsing.
    int editRow = -1;
    //! Values of the edited record, one per result column, and which of them changed.
    QVector<QVariant> buffer;
    QVector<bool> changed;
    //! Position that was current before an insert, to return to on cancel.
    int beforeInsert = -1;
    //! Position of each key, rebuilt after the rows change.
    mutable QHash<qint64, int> keyPos;
    mutable bool keyPosValid = false;
    DatasetState stateAtDisable = DatasetState::Inactive;
    //! Tells this fetch's rows from every other's: a bookmark that is a bare position holds
    //! only within the fetch that gave it.
    quint64 fetch = 0;

    qint64 keyAt(int position) const { return rs.key(order[size_t(position)]); }
};
