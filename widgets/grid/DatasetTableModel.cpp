#include "DatasetTableModel.h"

#include "Dataset.h"
#include "Field.h"

#include <QScopedValueRollback>

DatasetTableModel::DatasetTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , DataLink(true) {}

DatasetTableModel::~DatasetTableModel() = default;

void DatasetTableModel::bindSource(DataSource *source) {
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    setDataSource(source);
    rebuild();
    emit activeStateChanged();
}

int DatasetTableModel::liveRowCount() const {
    const Dataset *ds = dataset();
    return ds && ds->isActive() ? ds->recordCount() : 0;
}

QVector<int> DatasetTableModel::liveColumns() const {
    QVector<int> columns;
    if (!active()) return columns;
    const auto &fields = dataset()->fields();
    for (int i = 0; i < int(fields.size()); ++i)
        if (fields[size_t(i)]->visible()) columns.append(i);
    return columns;
}

void DatasetTableModel::rebuild() {
    beginResetModel();
    m_columns = liveColumns();
    m_rows = liveRowCount();
    endResetModel();
}

Field *DatasetTableModel::fieldAt(int column) const {
    // Read through the dataset each time: a field shown a moment ago may be gone.
    if (column < 0 || column >= m_columns.size() || !active()) return nullptr;
    const auto &fields = dataset()->fields();
    const int index = m_columns.at(column);
    return index < int(fields.size()) ? fields[size_t(index)].get() : nullptr;
}

int DatasetTableModel::columnOf(const Field *field) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (field && fieldAt(c) == field) return c;
    return -1;
}

QString DatasetTableModel::caption(int column) const {
    const Field *field = fieldAt(column);
    if (!field) return QString();
    QString text = field->displayLabel();
    text.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return text;
}

int DatasetTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DatasetTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetTableModel::data(const QModelIndex &index, int role) const {
    // A source destroyed under the model leaves it no dataset to read.
    if (!index.isValid() || index.row() >= m_rows || !active()) return QVariant();
    const Field *field = fieldAt(index.column());
    if (!field) return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        const int row = snapshotRow(index.row());
        return row < 0 ? QString() : field->displayTextAt(row);
    }
    case Qt::TextAlignmentRole:
        switch (field->type()) {
        case FieldType::AutoInc:
        case FieldType::Integer:
        case FieldType::Float:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignTop));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignTop));
        }
    default:
        return QVariant();
    }
}

QVariant DatasetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return caption(section);
        return QVariant();
    }
    if (role == Qt::DisplayRole) return QString();
    return QVariant();
}

int DatasetTableModel::snapshotRow(int row) const {
    if (m_pendingInsert >= 0 && row >= m_pendingInsert) ++row;
    if (m_pendingRemove >= 0 && row >= m_pendingRemove) row = row == m_pendingRemove ? -1 : row - 1;
    // The snapshot may be shorter for a moment while the dataset's controls are disabled.
    return row >= liveRowCount() ? -1 : row;
}

Qt::ItemFlags DatasetTableModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void DatasetTableModel::activeChanged() {
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    rebuild();
    emit activeStateChanged();
    emit currentRecordMoved();
}

void DatasetTableModel::dataSetChanged() {
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    // Same shape: tell the views the cells changed rather than resetting, which would
    // throw away column widths and the current index on every far move. The fields are
    // read again all the same: a requery without a field list makes new ones.
    const QVector<int> columns = liveColumns();
    if (liveRowCount() != m_rows || columns != m_columns || (m_rows == 0 && columns.isEmpty())) {
        rebuild();
    } else if (m_rows > 0 && !columns.isEmpty()) {
        emit dataChanged(index(0, 0), index(m_rows - 1, int(columns.size()) - 1));
    }
    emit contentsChanged();
    emit currentRecordMoved();
}

void DatasetTableModel::dataSetScrolled(int distance) {
    (void)distance;
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    emit currentRecordMoved();
}

void DatasetTableModel::recordChanged(Field *field) {
    const Dataset *ds = dataset();
    if (!ds || !ds->isActive()) return;
    const int row = ds->currentRow();
    if (row < 0 || row >= m_rows || m_columns.isEmpty()) return;
    const int column = field ? columnOf(field) : -1;
    if (column >= 0)
        emit dataChanged(index(row, column), index(row, column));
    else
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void DatasetTableModel::editingChanged() {
    emit editingStateChanged();
}

void DatasetTableModel::layoutChanged() {
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    rebuild();
    emit contentsChanged();
    emit currentRecordMoved();
}

void DatasetTableModel::rowInserted(int row) {
    if (row < 0 || row > m_rows || liveRowCount() != m_rows + 1) {
        dataSetChanged();
        return;
    }
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    m_pendingInsert = row;
    beginInsertRows(QModelIndex(), row, row);
    m_pendingInsert = -1;
    ++m_rows;
    endInsertRows();
    emit currentRecordMoved();
}

void DatasetTableModel::rowRemoved(int row) {
    if (row < 0 || row >= m_rows || liveRowCount() != m_rows - 1) {
        dataSetChanged();
        return;
    }
    const QScopedValueRollback relaying(m_relaying, m_relaying + 1);
    m_pendingRemove = row;
    beginRemoveRows(QModelIndex(), row, row);
    m_pendingRemove = -1;
    --m_rows;
    endRemoveRows();
    emit currentRecordMoved();
}

void DatasetTableModel::rowUpdated(int row) {
    if (row < 0 || row >= m_rows || m_columns.isEmpty()) return;
    emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}
