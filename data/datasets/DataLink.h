#pragma once

class DataSource;
class Dataset;
class Field;

//! A control's (or a model's) link to a data source. The source calls the protected
//! hooks when its dataset changes; subclasses override what they need.
//! Visual links (grids, navigators, bound edits) are told after non-visual ones.
class DataLink {
public:
    explicit DataLink(bool visual = true)
        : m_visual(visual) {}
    virtual ~DataLink();
    DataLink(const DataLink &) = delete;
    DataLink &operator=(const DataLink &) = delete;

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }
    Dataset *dataset() const;
    //! The dataset is there and open.
    bool active() const;
    //! The dataset is in edit or insert state.
    bool editing() const;
    bool isVisual() const { return m_visual; }

protected:
    friend class DataSource;
    //! The dataset opened or closed (or the link got another source).
    virtual void activeChanged() {}
    //! Contents changed as a whole: opened, requeried, moved far, controls enabled again.
    virtual void dataSetChanged() {}
    //! The current record moved by `distance` rows with no change of contents.
    virtual void dataSetScrolled(int distance) {
        (void)distance;
        dataSetChanged();
    }
    //! A value of the current record changed (`field` null: several or all).
    virtual void recordChanged(Field *field) { (void)field; }
    //! The dataset entered or left edit or insert state.
    virtual void editingChanged() {}
    //! The field list changed.
    virtual void layoutChanged() { dataSetChanged(); }
    //! A row was inserted into the snapshot at `row` (0-based), by insert or append.
    virtual void rowInserted(int row) {
        (void)row;
        dataSetChanged();
    }
    //! The row at `row` left the snapshot (delete, or a cancelled insert).
    virtual void rowRemoved(int row) {
        (void)row;
        dataSetChanged();
    }
    //! The row at `row` was posted (its stored values may differ from before).
    virtual void rowUpdated(int row) {
        (void)row;
        recordChanged(nullptr);
    }
    //! Before a post: controls write their pending text into the record.
    virtual void updateData() {}

private:
    DataSource *m_source = nullptr;
    bool m_visual;
};
