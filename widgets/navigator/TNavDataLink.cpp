#include "TNavDataLink.h"

#include "TDBXNavigator.h"

TNavDataLink::~TNavDataLink() = default;

void TNavDataLink::activeChanged() {
    if (m_navigator) m_navigator->activeChanged();
}

void TNavDataLink::dataSetChanged() {
    if (m_navigator) m_navigator->dataChanged();
}

void TNavDataLink::editingChanged() {
    if (m_navigator) m_navigator->editingChanged();
}
