#pragma once

#include "DataLink.h"

#include <QAbstractTableModel>
#include <QVector>

class Field;

//! A read-only table model over a dataset's snapshot: one row per record, one column per
//! visible field. It owns no data and never moves the dataset: cells are read with
//! Field::displayTextAt(row). As a data link it turns the dataset's notifications into
//! the model's own (reset, rows inserted or removed, data changed). It keeps positions in
//! the dataset's field list, never the fields themselves: a requery may replace them.
class DatasetTableModel : public QAbstractTableModel, public DataLink {
    Q_OBJECT
public:
    explicit DatasetTableModel(QObject *parent = nullptr);
    ~DatasetTableModel() override;

    //! Binds the model to `source` (may be null).
    void bindSource(DataSource *source);
    //! The field shown in `column`, or null.
    Field *fieldAt(int column) const;
    //! The column that shows `field`, or -1.
    int columnOf(const Field *field) const;
    //! A column's title caption, with every "|" turned into a line break.
    QString caption(int column) const;
    //! Is the model passing one of the dataset's notifications on to its views? Moves of the
    //! views' current index meanwhile are the model's doing, not the user's.
    bool relaying() const { return m_relaying > 0; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    //! The dataset opened or closed, or the model was bound to another source.
    void activeStateChanged();
    //! The dataset's current record may have moved.
    void currentRecordMoved();
    //! The dataset entered or left edit or insert state.
    void editingStateChanged();
    //! Contents were reset or changed as a whole.
    void contentsChanged();

protected:
    void activeChanged() override;
    void dataSetChanged() override;
    void dataSetScrolled(int distance) override;
    void recordChanged(Field *field) override;
    void editingChanged() override;
    void layoutChanged() override;
    void rowInserted(int row) override;
    void rowRemoved(int row) override;
    void rowUpdated(int row) override;

private:
    //! Rows the dataset's snapshot holds now (an inserted row included).
    int liveRowCount() const;
    //! Positions of the dataset's visible fields, in field order.
    QVector<int> liveColumns() const;
    void rebuild();

    //! The snapshot row shown in model row `row`; -1 for none.
    int snapshotRow(int row) const;

    // Cached so that the row count seen between beginInsertRows and endInsertRows is the old one.
    int m_rows = 0;
    // The dataset tells us after the fact: while the views hear "about to insert / remove",
    // model rows are mapped onto the snapshot as it was before the change.
    int m_pendingInsert = -1;
    int m_pendingRemove = -1;
    // Positions in the dataset's field list of the fields shown in the columns.
    QVector<int> m_columns;
    int m_relaying = 0;
};
