// Dataset: edit, insert, post, cancel and delete, written to the table at once by key.
#include "Connection.h"
#include "DatasetSnapshot.h"
#include "DbError.h"
#include "Schema.h"

namespace {

bool editing(DatasetState s) {
    return s == DatasetState::Edit || s == DatasetState::Insert;
}

} // namespace

void Dataset::requireModifiable() {
    if (!isActive())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(name()));
    if (!canModify()) throw DbError(QStringLiteral("%1: Cannot modify a read-only dataset.").arg(name()));
}

bool Dataset::canModify() const {
    // A connection opened read-only refuses every write, whatever the statement could do.
    return isActive() && m_canModify && m_connection && !m_connection->isReadOnly();
}

void Dataset::edit() {
    if (editing(m_state)) return;
    requireModifiable();
    if (recordCount() == 0) {
        insert();
        return;
    }
    Snapshot &s = *m_snapshot;
    s.editRow = m_current;
    s.buffer.resize(s.rs.columnCount());
    for (int c = 0; c < s.rs.columnCount(); ++c)
        s.buffer[c] = s.rs.value(s.order[size_t(m_current)], c);
    s.changed.fill(false, s.rs.columnCount());
    m_modified = false;
    m_state = DatasetState::Edit;
    notify(DataEvent::StateChange);
}

void Dataset::beginInsert(int row, bool atEnd) {
    Snapshot &s = *m_snapshot;
    s.beforeInsert = m_current;
    s.order.insert(s.order.begin() + row, -1);
    s.keyPosValid = false;
    s.editRow = row;
    s.buffer.fill(QVariant(), s.rs.columnCount());
    s.changed.fill(false, s.rs.columnCount());
    m_modified = false;
    m_current = row;
    m_bof = false;
    m_eof = atEnd;
    m_state = DatasetState::Insert;
    notify(DataEvent::StateChange);
    notify(DataEvent::RowInserted, row);
}

void Dataset::insert() {
    requireModifiable();
    checkBrowseMode();
    beginInsert(recordCount() == 0 ? 0 : std::max(m_current, 0), false);
}

void Dataset::append() {
    requireModifiable();
    checkBrowseMode();
    beginInsert(recordCount(), true);
}

void Dataset::setFieldValue(Field *field, const QVariant &value) {
    if (!editing(m_state))
        throw DbError(QStringLiteral("%1: Dataset not in edit or insert mode.").arg(name()));
    if (field->readOnly())
        throw DbError(QStringLiteral("Field '%1' cannot be modified.").arg(field->fieldName()));
    Snapshot &s = *m_snapshot;
    const ResultColumn &rc = s.rs.columns[field->column()];
    QVariant v = value;
    // An emptied number, date or time is no value at all; texts keep their empty text.
    if (field->type() != FieldType::Text && v.typeId() == QMetaType::QString &&
        v.toString().trimmed().isEmpty())
        v = QVariant();
    if (const ColumnInfo *info = Schema::column(rc.table, rc.originName))
        v = m_connection->convertFor(*info, v);
    QVariant &slot = s.buffer[field->column()];
    if (slot.isNull() == v.isNull() && slot == v) return;
    slot = v;
    s.changed[field->column()] = true;
    m_modified = true;
    notify(DataEvent::RecordChange, 0, field);
}

void Dataset::leaveEdit() {
    Snapshot &s = *m_snapshot;
    s.editRow = -1;
    s.buffer.clear();
    s.changed.clear();
    m_modified = false;
    m_state = DatasetState::Browse;
}

void Dataset::post() {
    if (!editing(m_state)) return;
    notify(DataEvent::UpdateData);
    Snapshot &s = *m_snapshot;
    if (!m_modified) {
        // Nothing typed: an edit simply ends, an untouched new record is dropped.
        if (m_state == DatasetState::Insert)
            cancel();
        else {
            leaveEdit();
            notify(DataEvent::StateChange);
        }
        return;
    }
    const int row = s.editRow;
    const QString table = s.rs.keyTable();
    QStringList columns;
    QVector<QVariant> values;
    QVector<QVariant> read; // as the row was read, for an edit
    for (int c = 0; c < s.rs.columnCount(); ++c) {
        const QString origin = s.rs.columns[c].originName;
        if (!s.changed[c] || origin.isEmpty() || columns.contains(origin, Qt::CaseInsensitive)) continue;
        columns << origin;
        values << s.buffer[c];
        if (m_state == DatasetState::Edit) read << s.rs.value(s.order[size_t(row)], c);
    }
    Statement st;
    qint64 key = s.keyAt(row);
    if (m_state == DatasetState::Edit) {
        st.add(QStringLiteral("UPDATE %1 SET %2 = ?").arg(table, columns.join(QStringLiteral(" = ?, "))));
        st.add(QStringLiteral("WHERE %1 = ?").arg(Schema::keyColumn(table)));
        // The row is found by the values read for the columns this post changes, exactly as they
        // were read: when another copy has changed one of them meanwhile, the later change is
        // refused instead of silently undoing the earlier one. Changes to other columns merge.
        for (const QString &column : columns) {
            const ColumnInfo *info = Schema::column(table, column);
            const bool text = !info || info->kind == ColumnKind::Text;
            st.add(QStringLiteral("AND %1%2 IS NOT DISTINCT FROM ?")
                       .arg(column, text ? QStringLiteral(" COLLATE BINARY") : QString()));
        }
        for (const QVariant &v : values)
            st.bind(v);
        st.bind(key);
        for (const QVariant &v : read)
            st.bind(v);
        if (m_connection->execute(st) == 0)
            throw DbError(
                QStringLiteral("Row cannot be located for updating. Some values may have been changed "
                               "since it was last read."));
    } else {
        if (columns.isEmpty()) {
            st.add(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            st.add(QStringLiteral("INSERT INTO %1 (%2)").arg(table, columns.join(QStringLiteral(", "))));
            st.add(QStringLiteral("VALUES (%1)").arg(marks.join(QStringLiteral(", "))));
            for (const QVariant &v : values)
                st.bind(v);
        }
        m_connection->execute(st);
        key = m_connection->lastInsertId();
    }

    // Read the stored row back: the engine may have filled in the key or other values.
    QStringList origins;
    for (const ResultColumn &c : s.rs.columns)
        origins << (c.originName.isEmpty() ? QStringLiteral("NULL") : c.originName);
    Statement back;
    back.add(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                 .arg(origins.join(QStringLiteral(", ")), table, Schema::keyColumn(table)));
    back.bind(key);
    const ResultSet stored = m_connection->select(back);
    QVector<QVariant> rowValues = s.buffer;
    if (stored.rowCount() == 1)
        for (int c = 0; c < stored.columnCount(); ++c)
            rowValues[c] = stored.value(0, c);
    s.order[size_t(row)] = s.rs.appendRow(rowValues, key);
    s.keyPosValid = false;
    leaveEdit();
    notify(DataEvent::RowUpdated, row);
    notify(DataEvent::StateChange);
}

void Dataset::cancel() {
    if (!editing(m_state)) return;
    Snapshot &s = *m_snapshot;
    if (m_state == DatasetState::Edit) {
        leaveEdit();
        notify(DataEvent::StateChange);
        notify(DataEvent::RecordChange);
        return;
    }
    const int row = s.editRow;
    s.order.erase(s.order.begin() + row);
    s.keyPosValid = false;
    const int count = recordCount();
    int back = s.beforeInsert;
    if (back > row) --back;
    m_current = count == 0 ? -1 : std::clamp(back < 0 ? row : back, 0, count - 1);
    m_bof = count == 0;
    m_eof = count == 0;
    leaveEdit();
    notify(DataEvent::RowRemoved, row);
    notify(DataEvent::StateChange);
}

void Dataset::checkBrowseMode() {
    if (!editing(m_state)) return;
    notify(DataEvent::UpdateData);
    if (m_modified)
        post();
    else
        cancel();
}

void Dataset::deleteRecord() {
    if (m_state == DatasetState::Insert) {
        cancel();
        return;
    }
    requireModifiable();
    if (recordCount() == 0 || m_current < 0)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset.").arg(name()));
    if (m_beforeDelete) m_beforeDelete(*this);
    const bool wasEditing = m_state == DatasetState::Edit;
    Snapshot &s = *m_snapshot;
    const int row = m_current;
    Statement st;
    st.add(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
               .arg(s.rs.keyTable(), Schema::keyColumn(s.rs.keyTable())));
    st.bind(s.keyAt(row));
    // A row another copy deleted already is gone all the same: no error for that.
    m_connection->execute(st);
    if (wasEditing) {
        leaveEdit();
        notify(DataEvent::StateChange);
    }
    s.order.erase(s.order.begin() + row);
    s.keyPosValid = false;
    const int count = recordCount();
    m_current = count == 0 ? -1 : std::min(row, count - 1);
    m_bof = count == 0;
    m_eof = count == 0;
    notify(DataEvent::RowRemoved, row);
}
