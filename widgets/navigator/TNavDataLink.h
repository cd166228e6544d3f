#pragma once

#include "DataLink.h"

class TDBXNavigator;

//! The navigator's link to its data source: forwards the notifications that decide which
//! buttons are enabled. Moves, inserted and removed rows count as a changed data set.
class TNavDataLink : public DataLink {
public:
    explicit TNavDataLink(TDBXNavigator *navigator)
        : DataLink(true)
        , m_navigator(navigator) {}
    ~TNavDataLink() override;

    //! Stops forwarding (the navigator is going away).
    void detach() { m_navigator = nullptr; }

protected:
    void activeChanged() override;
    void dataSetChanged() override;
    void editingChanged() override;

private:
    TDBXNavigator *m_navigator;
};
