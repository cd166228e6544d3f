#pragma once

#include "DataEvent.h"

#include <QList>
#include <QObject>

class Dataset;
class DataLink;
class Field;

//! Joins one dataset to any number of data links and relays the dataset's notifications.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr);
    ~DataSource() override;

    void setDataset(Dataset *dataset);
    Dataset *dataset() const { return m_dataset; }
    //! Bound controls put the dataset into edit when the user changes a value.
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }
    //! A disabled source tells its links nothing, as if its dataset were closed.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);

    //! Puts the dataset into edit state if auto-edit is on and it is browsing.
    void edit();

    const QList<DataLink *> &links() const { return m_links; }

signals:
    //! The current record moved, the contents changed, or a value of the current record
    //! changed (`field` then names it; null for all).
    void dataChange(Field *field);
    //! The dataset's state changed (inactive, browse, edit, insert).
    void stateChange();
    //! About to post: controls write their values.
    void updateData();

private:
    friend class Dataset;
    friend class DataLink;
    void addLink(DataLink *link);
    void removeLink(DataLink *link);
    //! Called by a dataset that is being destroyed.
    void datasetDestroyed();
    void tellLinksActiveChanged();
    //! Called by the dataset; relays to the links (non-visual first) and raises the signals.
    void notify(DataEvent event, int info, Field *field);

    Dataset *m_dataset = nullptr;
    QList<DataLink *> m_links;
    bool m_autoEdit = true;
    bool m_enabled = true;
};
