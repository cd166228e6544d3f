#include "DataLink.h"

#include "DataSource.h"
#include "Dataset.h"

DataLink::~DataLink() {
    if (m_source) m_source->removeLink(this);
}

void DataLink::setDataSource(DataSource *source) {
    if (source == m_source) return;
    if (m_source) m_source->removeLink(this);
    m_source = source;
    if (m_source) m_source->addLink(this);
    activeChanged();
}

Dataset *DataLink::dataset() const {
    return m_source ? m_source->dataset() : nullptr;
}

bool DataLink::active() const {
    const Dataset *ds = dataset();
    return ds && m_source->isEnabled() && ds->isActive();
}

bool DataLink::editing() const {
    const Dataset *ds = dataset();
    return active() && (ds->state() == DatasetState::Edit || ds->state() == DatasetState::Insert);
}
