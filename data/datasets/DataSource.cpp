#include "DataSource.h"

#include "DataLink.h"
#include "Dataset.h"

DataSource::DataSource(QObject *parent)
    : QObject(parent) {}

DataSource::~DataSource() {
    for (DataLink *link : std::as_const(m_links))
        link->m_source = nullptr;
    m_links.clear();
    if (m_dataset) m_dataset->removeSource(this);
}

void DataSource::setDataset(Dataset *dataset) {
    if (dataset == m_dataset) return;
    if (m_dataset) m_dataset->removeSource(this);
    m_dataset = dataset;
    if (m_dataset) m_dataset->addSource(this);
    // Links see the new dataset as an open or close (a disabled source still looks closed).
    tellLinksActiveChanged();
    if (m_enabled && m_dataset && m_dataset->isActive()) emit dataChange(nullptr);
}

void DataSource::setEnabled(bool on) {
    if (on == m_enabled) return;
    m_enabled = on;
    // Disabled looks closed to the links; enabled again they see the dataset as it is.
    tellLinksActiveChanged();
}

void DataSource::datasetDestroyed() {
    // Nothing of the dataset may be read any more: to the links it is a closed one.
    m_dataset = nullptr;
    tellLinksActiveChanged();
}

void DataSource::tellLinksActiveChanged() {
    const QList<DataLink *> links = m_links;
    for (DataLink *link : links)
        if (m_links.contains(link)) link->activeChanged();
    emit stateChange();
}

void DataSource::edit() {
    if (m_autoEdit && m_dataset && m_dataset->state() == DatasetState::Browse) m_dataset->edit();
}

void DataSource::addLink(DataLink *link) {
    if (!m_links.contains(link)) m_links.append(link);
}

void DataSource::removeLink(DataLink *link) {
    m_links.removeAll(link);
}

void DataSource::notify(DataEvent event, int info, Field *field) {
    if (!m_enabled) return;
    // A link may leave (or be destroyed) while being told: walk a copy, skip the departed.
    const QList<DataLink *> links = m_links;
    for (int pass = 0; pass < 2; ++pass) {
        const bool visual = pass == 1; // non-visual links (models, lookups) first
        for (DataLink *link : links) {
            if (link->isVisual() != visual || !m_links.contains(link)) continue;
            switch (event) {
            case DataEvent::ActiveChange:
                link->activeChanged();
                break;
            case DataEvent::DataSetChange:
                link->dataSetChanged();
                break;
            case DataEvent::DataSetScroll:
                link->dataSetScrolled(info);
                break;
            case DataEvent::RecordChange:
                link->recordChanged(field);
                break;
            case DataEvent::StateChange:
                link->editingChanged();
                break;
            case DataEvent::LayoutChange:
                link->layoutChanged();
                break;
            case DataEvent::RowInserted:
                link->rowInserted(info);
                break;
            case DataEvent::RowRemoved:
                link->rowRemoved(info);
                break;
            case DataEvent::RowUpdated:
                link->rowUpdated(info);
                break;
            case DataEvent::UpdateData:
                link->updateData();
                break;
            }
        }
    }
    switch (event) {
    case DataEvent::ActiveChange:
        emit stateChange();
        // An opened dataset has a current record: handlers of the data change see it.
        if (m_dataset && m_dataset->isActive()) emit dataChange(nullptr);
        break;
    case DataEvent::StateChange:
        emit stateChange();
        break;
    case DataEvent::UpdateData:
        emit updateData();
        break;
    case DataEvent::RecordChange:
        emit dataChange(field);
        break;
    default:
        emit dataChange(nullptr);
    }
}
