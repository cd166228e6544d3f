#include "Dataset.h"

#include "Connection.h"
#include "DataSource.h"
#include "DatasetSnapshot.h"
#include "DbError.h"
#include "Schema.h"

#include <atomic>
#include <cstring>

Dataset::Dataset(const QString &name, QObject *parent)
    : QObject(parent)
    , m_snapshot(std::make_unique<Snapshot>()) {
    setObjectName(name);
}

Dataset::~Dataset() {
    const QList<DataSource *> sources = std::exchange(m_sources, {});
    for (DataSource *source : sources)
        source->datasetDestroyed();
}

void Dataset::setConnection(Connection *connection) {
    m_connection = connection;
}

void Dataset::addSource(DataSource *source) {
    if (!m_sources.contains(source)) m_sources.append(source);
}

void Dataset::removeSource(DataSource *source) {
    m_sources.removeAll(source);
}

void Dataset::notify(DataEvent event, int info, Field *field) {
    if (m_disableCount > 0 && event != DataEvent::UpdateData) {
        // A painter's callback gets its position back: its moves are nothing to announce.
        if (!(m_quietRows > 0 && event == DataEvent::DataSetScroll)) m_pendingChange = true;
        return;
    }
    const QList<DataSource *> sources = m_sources;
    for (DataSource *source : sources)
        if (m_sources.contains(source)) source->notify(event, info, field);
}

void Dataset::disableControls() {
    if (m_disableCount++ == 0) {
        m_snapshot->stateAtDisable = m_state;
        m_pendingChange = false;
    }
}

void Dataset::enableControls() {
    if (m_disableCount == 0 || --m_disableCount > 0 || !m_pendingChange) return;
    m_pendingChange = false;
    const DatasetState before = m_snapshot->stateAtDisable;
    const bool activeChanged = (before == DatasetState::Inactive) != (m_state == DatasetState::Inactive);
    notify(activeChanged ? DataEvent::ActiveChange : DataEvent::DataSetChange);
    if (!activeChanged && before != m_state) notify(DataEvent::StateChange);
}

// --- open and close

void Dataset::fetchInto(Snapshot &snap) {
    if (!m_connection) throw DbError(QStringLiteral("%1: Missing connection.").arg(name()));
    snap.rs = m_connection->selectKeyed(m_statement);
    static std::atomic<quint64> fetches{0};
    snap.fetch = ++fetches;
    snap.order.resize(size_t(snap.rs.rowCount()));
    for (int i = 0; i < snap.rs.rowCount(); ++i)
        snap.order[size_t(i)] = i;
    snap.keyPosValid = false;
    snap.editRow = -1;
}

void Dataset::buildFields() {
    const ResultSet &rs = m_snapshot->rs;
    auto findColumn = [&](const QString &name) {
        for (int c = 0; c < rs.columnCount(); ++c)
            if (rs.columns[c].name.compare(name, Qt::CaseInsensitive) == 0) return c;
        return -1;
    };
    auto typeOf = [&](int c, int *size) {
        *size = 0;
        const ColumnInfo *info = Schema::column(rs.columns[c].table, rs.columns[c].originName);
        if (info && !rs.columns[c].table.isEmpty()) {
            *size = info->size;
            switch (info->kind) {
            case ColumnKind::Key:
                return FieldType::AutoInc;
            case ColumnKind::Integer:
                return FieldType::Integer;
            case ColumnKind::Text:
                return FieldType::Text;
            case ColumnKind::Date:
                return FieldType::Date;
            case ColumnKind::Time:
                return FieldType::Time;
            }
        }
        for (int r = 0; r < rs.rowCount(); ++r) {
            const QVariant v = rs.value(r, c);
            if (v.isNull()) continue;
            if (v.typeId() == QMetaType::LongLong) return FieldType::Integer;
            if (v.typeId() == QMetaType::Double) return FieldType::Float;
            return FieldType::Text;
        }
        return FieldType::Unknown;
    };

    QList<FieldDef> defs = m_fieldDefs;
    const bool persistent = !defs.isEmpty();
    if (!persistent)
        for (const ResultColumn &c : rs.columns)
            defs.append(FieldDef{c.name, QString(), 0, true, false});

    std::vector<std::unique_ptr<Field>> fields;
    for (int i = 0; i < defs.size(); ++i) {
        const int c = findColumn(defs[i].name);
        if (c < 0) throw DbError(QStringLiteral("%1: Field '%2' not found.").arg(name(), defs[i].name));
        int size = 0;
        const FieldType type = typeOf(c, &size);
        // Fields of a field list stay the same objects across opens, so pointers to them hold.
        std::unique_ptr<Field> f;
        if (persistent && i < int(m_fields.size()) && m_fields[size_t(i)] &&
            m_fields[size_t(i)]->fieldName() == defs[i].name) {
            f = std::move(m_fields[size_t(i)]);
            f->m_type = type;
            f->m_column = c;
            f->m_size = size;
            f->m_def = defs[i];
        } else {
            f = std::make_unique<Field>(this, defs[i], type, c, size);
        }
        f->m_index = i;
        f->m_computed = rs.columns[c].originName.isEmpty();
        fields.push_back(std::move(f));
    }
    m_fields = std::move(fields);
}

void Dataset::open() {
    if (isActive()) return;
    fetchInto(*m_snapshot);
    try {
        buildFields();
    } catch (...) {
        *m_snapshot = Snapshot();
        throw;
    }
    m_canModify = m_snapshot->rs.keyed();
    m_modified = false;
    m_state = DatasetState::Browse;
    m_current = recordCount() > 0 ? 0 : -1;
    m_bof = true;
    m_eof = recordCount() == 0;
    notify(DataEvent::ActiveChange);
}

void Dataset::close() {
    if (!isActive()) return;
    // Pending edits are dropped: closing never writes.
    const DatasetState keep = m_snapshot->stateAtDisable;
    *m_snapshot = Snapshot();
    m_snapshot->stateAtDisable = keep;
    m_state = DatasetState::Inactive;
    m_modified = false;
    m_canModify = false;
    m_current = -1;
    m_bof = m_eof = true;
    notify(DataEvent::ActiveChange);
}

void Dataset::requery() {
    if (!isActive()) {
        open();
        return;
    }
    checkBrowseMode();
    const bool keyed = m_snapshot->rs.keyed() && m_current >= 0;
    const qint64 key = keyed ? m_snapshot->keyAt(m_current) : 0;
    const int oldPos = m_current;
    Snapshot fresh;
    fresh.stateAtDisable = m_snapshot->stateAtDisable;
    fetchInto(fresh);
    *m_snapshot = std::move(fresh);
    buildFields();
    m_canModify = m_snapshot->rs.keyed();
    const int count = recordCount();
    int pos = keyed ? positionOfKey(key) : -1;
    if (pos < 0) pos = count == 0 ? -1 : std::clamp(oldPos, 0, count - 1);
    m_current = pos;
    m_bof = count == 0 || (m_bof && pos == 0);
    m_eof = count == 0 || (m_eof && pos == count - 1);
    notify(DataEvent::DataSetChange);
}

int Dataset::execSql() {
    if (!m_connection) throw DbError(QStringLiteral("%1: Missing connection.").arg(name()));
    return m_connection->execute(m_statement);
}

// --- fields

Field *Dataset::field(int index) const {
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("%1: Field index %2 out of range.").arg(name()).arg(index));
    return m_fields[size_t(index)].get();
}

Field *Dataset::findField(const QString &fieldName) const {
    for (const auto &f : m_fields)
        if (f->fieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

Field *Dataset::fieldByName(const QString &fieldName) const {
    Field *f = findField(fieldName);
    if (!f) throw DbError(QStringLiteral("%1: Field '%2' not found.").arg(name(), fieldName));
    return f;
}

// --- position

int Dataset::recordCount() const {
    return isActive() ? int(m_snapshot->order.size()) : 0;
}

int Dataset::recNo() const {
    if (!isActive() || m_current < 0 || m_current >= recordCount()) return -1;
    if (m_state == DatasetState::Insert && m_current == m_snapshot->editRow) return -1;
    return m_current + 1;
}

void Dataset::moveTo(int row, bool bof, bool eof) {
    const int distance = row - m_current;
    const bool flagsChanged = bof != m_bof || eof != m_eof;
    m_current = row;
    m_bof = bof;
    m_eof = eof;
    if (distance != 0 || flagsChanged) notify(DataEvent::DataSetScroll, distance);
}

void Dataset::requireBrowsable() {
    if (!isActive())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset.").arg(name()));
    checkBrowseMode();
}

void Dataset::setRecNo(int recNo) {
    requireBrowsable();
    const int count = recordCount();
    if (count == 0) return;
    moveTo(std::clamp(recNo, 1, count) - 1, false, false);
}

void Dataset::first() {
    requireBrowsable();
    const int count = recordCount();
    moveTo(count ? 0 : -1, true, count == 0);
}

void Dataset::last() {
    requireBrowsable();
    const int count = recordCount();
    moveTo(count - 1, count == 0, true);
}

void Dataset::next() {
    moveBy(1);
}

void Dataset::prior() {
    moveBy(-1);
}

int Dataset::moveBy(int distance) {
    requireBrowsable();
    const int count = recordCount();
    if (count == 0) {
        moveTo(-1, true, true);
        return 0;
    }
    const qint64 target = qint64(m_current) + distance;
    bool bof = false, eof = false;
    int row = int(target);
    if (target < 0) {
        row = 0;
        bof = true;
    } else if (target >= count) {
        row = count - 1;
        eof = true;
    }
    const int moved = row - m_current;
    moveTo(row, bof, eof);
    return moved;
}

// --- bookmarks

QByteArray Dataset::bookmark() const {
    if (!isActive() || m_current < 0 || m_current >= recordCount() || isInsertedRow(m_current))
        return QByteArray();
    // A keyed row is found again by its key in any later snapshot; a row without a key only by
    // its position in this very fetch.
    const bool keyed = m_snapshot->rs.keyed();
    const qint64 value = keyed ? m_snapshot->keyAt(m_current) : qint64(m_current);
    QByteArray b(keyed ? sizeof value : sizeof value + sizeof m_snapshot->fetch, Qt::Uninitialized);
    std::memcpy(b.data(), &value, sizeof value);
    if (!keyed) std::memcpy(b.data() + sizeof value, &m_snapshot->fetch, sizeof m_snapshot->fetch);
    return b;
}

int Dataset::positionOfKey(qint64 key) const {
    Snapshot &s = *m_snapshot;
    if (!s.keyPosValid) {
        s.keyPos.clear();
        s.keyPos.reserve(qsizetype(s.order.size()));
        for (size_t i = 0; i < s.order.size(); ++i)
            if (s.order[i] >= 0) s.keyPos.insert(s.rs.key(s.order[i]), int(i));
        s.keyPosValid = true;
    }
    return s.keyPos.value(key, -1);
}

int Dataset::positionOf(const QByteArray &bookmark) const {
    const bool keyed = m_snapshot->rs.keyed();
    qint64 value;
    quint64 fetch;
    if (!isActive() || bookmark.size() != qsizetype(keyed ? sizeof value : sizeof value + sizeof fetch))
        return -1;
    std::memcpy(&value, bookmark.constData(), sizeof value);
    if (keyed) return positionOfKey(value);
    std::memcpy(&fetch, bookmark.constData() + sizeof value, sizeof fetch);
    if (fetch != m_snapshot->fetch) return -1;
    return value >= 0 && value < recordCount() && !isInsertedRow(int(value)) ? int(value) : -1;
}

bool Dataset::bookmarkValid(const QByteArray &bookmark) const {
    return positionOf(bookmark) >= 0;
}

void Dataset::gotoBookmark(const QByteArray &bookmark) {
    requireBrowsable();
    const int pos = positionOf(bookmark);
    if (pos < 0) throw DbError(QStringLiteral("Record not found."));
    moveTo(pos, false, false);
}

int Dataset::compareBookmarks(const QByteArray &a, const QByteArray &b) const {
    const int pa = positionOf(a), pb = positionOf(b);
    return pa < pb ? -1 : (pa > pb ? 1 : 0);
}

// --- reading rows

QVariant Dataset::valueAt(int row, int column) const {
    const Snapshot &s = *m_snapshot;
    if (!isActive() || row < 0 || row >= int(s.order.size())) return QVariant();
    if (row == s.editRow && (m_state == DatasetState::Edit || m_state == DatasetState::Insert))
        return s.buffer.value(column);
    const int storage = s.order[size_t(row)];
    return storage < 0 ? QVariant() : s.rs.value(storage, column);
}

int Dataset::setCurrentRowQuiet(int row) {
    const int previous = m_current;
    m_current = row;
    return previous;
}

Dataset::QuietRow::QuietRow(Dataset *dataset, int row)
    : m_dataset(dataset)
    , m_row(dataset->m_current)
    , m_bof(dataset->m_bof)
    , m_eof(dataset->m_eof) {
    dataset->disableControls();
    ++dataset->m_quietRows;
    dataset->m_current = row;
}

Dataset::QuietRow::~QuietRow() {
    Dataset *ds = m_dataset;
    if (!ds) return;
    --ds->m_quietRows;
    const int count = ds->recordCount();
    ds->m_current = count == 0 ? -1 : std::min(m_row, count - 1);
    ds->m_bof = count == 0 || m_bof;
    ds->m_eof = count == 0 || m_eof;
    try {
        ds->enableControls();
    } catch (...) {
        // Painting cannot report a failing notification handler; the change shows at the next.
    }
}

bool Dataset::isInsertedRow(int row) const {
    return m_state == DatasetState::Insert && row >= 0 && row == m_snapshot->editRow;
}
