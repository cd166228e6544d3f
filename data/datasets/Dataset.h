#pragma once

#include "DataEvent.h"
#include "Field.h"
#include "Statement.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class DataSource;

enum class DatasetState { Inactive, Browse, Edit, Insert };

//! A static cursor: the statement's rows are fetched into a snapshot when it opens, the
//! record count is exact at once, and rows stored later are seen only after a requery.
//! A select each of whose rows stands for one row of one table, as the engine describes it
//! (EditableRows), can modify: its rows carry the table's key, and post and delete write to the
//! table at once by that key.
//!
//! BOF and EOF follow the classic cursor rules: after open/first BOF is set; a prior() on
//! the first record sets BOF and stays; a next() on the last record sets EOF and stays;
//! last() sets EOF; an empty result has both set.
//!
//! Notifications, to each data source and through it to its links (non-visual links first):
//! - open(): ActiveChange (the source also raises dataChange); close(): ActiveChange.
//! - moves: DataSetScroll(distance) when the record moved or BOF/EOF changed (distance 0 then).
//! - requery(), gotoBookmark() far away: DataSetChange / DataSetScroll.
//! - edit(): StateChange. Field::setValue(): RecordChange(field).
//! - insert()/append(): StateChange, then RowInserted(row).
//! - post(): UpdateData, then RowUpdated(row), then StateChange (an unchanged insert: as cancel).
//! - cancel(): of an edit StateChange, RecordChange(null); of an insert RowRemoved(row), StateChange.
//! - deleteRecord(): RowRemoved(row) (and StateChange first if it ended an edit).
//! - While controls are disabled nothing is sent but UpdateData; enableControls() then sends
//!   one ActiveChange if the dataset opened or closed meanwhile, else one DataSetChange, and a
//!   StateChange if the state changed.
class Dataset : public QObject {
    Q_OBJECT
public:
    explicit Dataset(const QString &name, QObject *parent = nullptr);
    ~Dataset() override;

    //! The dataset's name as the pages know it ("ADODataSet1", "ADOQuery_GET", ...).
    QString name() const { return objectName(); }
    void setConnection(Connection *connection);
    Connection *connection() const { return m_connection; }

    //! The statement; change it only while the dataset is closed.
    Statement &statement() { return m_statement; }
    const Statement &statement() const { return m_statement; }
    //! The field list: bind these columns by name, in this order. Empty: one field per column.
    void setFieldDefs(const QList<FieldDef> &defs) { m_fieldDefs = defs; }
    const QList<FieldDef> &fieldDefs() const { return m_fieldDefs; }

    // --- open and close
    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }
    bool isActive() const { return m_state != DatasetState::Inactive; }
    DatasetState state() const { return m_state; }
    //! Runs the statement again and re-fetches, keeping the current record where it still
    //! exists (by key, else by position); one DataSetChange.
    void requery();
    //! Runs the statement without a result (scratch query use); throws on failure.
    int execSql();

    // --- fields
    int fieldCount() const { return int(m_fields.size()); }
    Field *field(int index) const;
    //! Case-insensitive; null when there is none.
    Field *findField(const QString &name) const;
    //! Throws DbError when there is none.
    Field *fieldByName(const QString &name) const;
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }

    // --- position
    int recordCount() const;
    //! 1-based position of the current record; -1 when unknown (closed, empty, or inserting).
    int recNo() const;
    void setRecNo(int recNo);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const { return recordCount() == 0; }
    void first();
    void last();
    void next();
    void prior();
    //! Moves by `distance` records, clamped to the ends (setting BOF/EOF); returns the
    //! distance actually moved.
    int moveBy(int distance);

    // --- bookmarks: a keyed row's stays valid across requery while the row exists; a row
    // without a key has only its position, valid until the rows are fetched again
    QByteArray bookmark() const;
    bool bookmarkValid(const QByteArray &bookmark) const;
    //! Throws DbError ("Record not found") when the bookmark's row is gone.
    void gotoBookmark(const QByteArray &bookmark);
    //! -1, 0, 1 by the rows' order in the dataset.
    int compareBookmarks(const QByteArray &a, const QByteArray &b) const;

    // --- editing
    //! Open, its rows carry their table's key, and its connection may write.
    bool canModify() const;
    void edit();
    //! New empty record before the current one.
    void insert();
    //! New empty record after the last one.
    void append();
    //! Stores the edit buffer in the table (UPDATE or INSERT by key). An inserted record that
    //! nothing has changed is discarded instead.
    void post();
    void cancel();
    //! Deletes the current record from the table and the snapshot.
    void deleteRecord();
    //! A check run on the current record before each deletion, whatever asked for it; by
    //! throwing it refuses the deletion, and nothing is deleted. Null: no check.
    void setBeforeDelete(std::function<void(const Dataset &)> check) { m_beforeDelete = std::move(check); }
    //! Runs the before-delete check on the current record without deleting it; throws what the
    //! check throws. Whoever deletes several records checks them all first.
    void checkDelete() const {
        if (m_beforeDelete) m_beforeDelete(*this);
    }
    //! Ends an edit or insert: posts a modified record, drops an unchanged new one.
    void checkBrowseMode();
    bool modified() const { return m_modified; }

    // --- notifications
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // --- reading rows without moving (for models and painting)
    //! 0-based snapshot row of the current record; -1 when empty.
    int currentRow() const { return m_current; }
    QVariant valueAt(int row, int column) const;
    //! Makes `row` the current record without any notification, until restored; returns the
    //! previous current row. For a painter's look-up that reads the row and nothing else.
    int setCurrentRowQuiet(int row);

    //! Makes a row the current record while a painter's per-row callback runs, without any
    //! notification: moves the callback makes are not announced, and the whole position
    //! (row, BOF, EOF) comes back when the scope ends. Anything else the callback changed is
    //! announced then, as one change.
    class QuietRow {
    public:
        QuietRow(Dataset *dataset, int row);
        ~QuietRow();
        QuietRow(const QuietRow &) = delete;
        QuietRow &operator=(const QuietRow &) = delete;

    private:
        // The callback may destroy the dataset.
        QPointer<Dataset> m_dataset;
        int m_row;
        bool m_bof;
        bool m_eof;
    };
    //! Is the row the one being inserted and not yet stored?
    bool isInsertedRow(int row) const;

private:
    friend class Field;
    friend class DataSource;
    // Implementation state: a private struct so the header stays stable.
    struct Snapshot;
    void notify(DataEvent event, int info = 0, Field *field = nullptr);
    void fetchInto(Snapshot &snapshot);
    void buildFields();
    void moveTo(int row, bool bof, bool eof);
    int positionOfKey(qint64 key) const;
    int positionOf(const QByteArray &bookmark) const;
    void requireBrowsable();
    void requireModifiable();
    void beginInsert(int row, bool atEnd);
    void setFieldValue(Field *field, const QVariant &value);
    void leaveEdit();
    void addSource(DataSource *source);
    void removeSource(DataSource *source);

    Connection *m_connection = nullptr;
    std::function<void(const Dataset &)> m_beforeDelete;
    Statement m_statement;
    QList<FieldDef> m_fieldDefs;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::unique_ptr<Snapshot> m_snapshot;
    QList<DataSource *> m_sources;
    DatasetState m_state = DatasetState::Inactive;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_canModify = false;
    bool m_modified = false;
    int m_disableCount = 0;
    bool m_pendingChange = false;
    int m_quietRows = 0;
};
