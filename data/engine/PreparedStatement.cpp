#include "PreparedStatement.h"

#include "DbError.h"

#include <QDate>
#include <QTime>
#include <sqlite3.h>

namespace {

bool onlyWhitespace(const char16_t *p) {
    for (; p && *p; ++p)
        if (!QChar(*p).isSpace() && *p != u';') return false;
    return true;
}

QString str16(const void *p) {
    return p ? QString::fromUtf16(static_cast<const char16_t *>(p)) : QString();
}

void bindText(sqlite3_stmt *st, int index, const QString &s) {
    // As UTF-8, the file's own encoding: a UTF-16 bind would take a leading U+FEFF or U+FFFE
    // for a byte-order mark, dropping it or reading the whole text byte-swapped.
    const QByteArray utf8 = s.toUtf8();
    sqlite3_bind_text(st, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindValue(sqlite3_stmt *st, int index, const QVariant &v) {
    if (v.isNull()) {
        sqlite3_bind_null(st, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        sqlite3_bind_int64(st, index, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, index, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDate:
        bindText(st, index, v.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QTime:
        bindText(st, index, v.toTime().toString(QStringLiteral("HH:mm")));
        return;
    default:
        bindText(st, index, v.toString());
    }
}

} // namespace

PreparedStatement::PreparedStatement(sqlite3 *handle, const QString &text)
    : m_handle(handle)
    , m_text(text) {
    const void *tail = nullptr;
    if (sqlite3_prepare16_v2(handle, text.utf16(), int(text.size() * 2), &m_stmt, &tail) != SQLITE_OK) fail();
    if (!m_stmt) throw DbError(QStringLiteral("The statement is empty."), 0, text);
    if (!onlyWhitespace(static_cast<const char16_t *>(tail))) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DbError(QStringLiteral("Characters found after end of SQL statement."), 0, text);
    }
}

PreparedStatement::~PreparedStatement() {
    sqlite3_finalize(m_stmt);
}

std::unique_ptr<PreparedStatement> PreparedStatement::tryPrepare(sqlite3 *handle, const QString &text) {
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare16_v2(handle, text.utf16(), int(text.size() * 2), &st, nullptr) != SQLITE_OK || !st) {
        sqlite3_finalize(st);
        return nullptr;
    }
    std::unique_ptr<PreparedStatement> prepared(new PreparedStatement);
    prepared->m_handle = handle;
    prepared->m_stmt = st;
    prepared->m_text = text;
    return prepared;
}

void PreparedStatement::fail() const {
    throw DbError(str16(sqlite3_errmsg16(m_handle)), sqlite3_extended_errcode(m_handle), m_text);
}

void PreparedStatement::bindAll(const QVector<QVariant> &values) {
    const int wanted = sqlite3_bind_parameter_count(m_stmt);
    if (wanted != values.size())
        throw DbError(
            QStringLiteral("No value given for one or more required parameters (%1 given, %2 expected).")
                .arg(values.size())
                .arg(wanted),
            0, m_text);
    for (int i = 0; i < values.size(); ++i)
        bindValue(m_stmt, i + 1, values[i]);
}

void PreparedStatement::run() {
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        // The message is read before the reset, which would replace it.
        const DbError error(str16(sqlite3_errmsg16(m_handle)), sqlite3_extended_errcode(m_handle), m_text);
        sqlite3_reset(m_stmt);
        throw error;
    }
    sqlite3_reset(m_stmt);
}

bool PreparedStatement::readOnly() const {
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

int PreparedStatement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString PreparedStatement::columnName(int column) const {
    return str16(sqlite3_column_name16(m_stmt, column));
}

QString PreparedStatement::tableName(int column) const {
    return str16(sqlite3_column_table_name16(m_stmt, column));
}

QString PreparedStatement::originName(int column) const {
    return str16(sqlite3_column_origin_name16(m_stmt, column));
}
