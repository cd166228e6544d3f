#pragma once

//! What a dataset tells its data sources. `info` travels with some events:
//! the distance of a scroll, the row of an insert, removal or update.
enum class DataEvent {
    ActiveChange,  //!< opened or closed
    DataSetChange, //!< contents changed as a whole
    DataSetScroll, //!< current record moved; info = distance
    RecordChange,  //!< a value of the current record changed; field passed along
    StateChange,   //!< entered or left edit/insert
    LayoutChange,  //!< the field list changed
    RowInserted,   //!< info = row
    RowRemoved,    //!< info = row
    RowUpdated,    //!< info = row
    UpdateData,    //!< about to post: bound controls write their text
};
