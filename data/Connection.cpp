#include "Connection.h"

#include "DataLog.h"
#include "DbError.h"
#include "KeyedSelect.h"
#include "RowFetcher.h"
#include "Schema.h"
#include "SpreadsheetExport.h"
#include "StatementRewriter.h"
#include "ValueConverter.h"

#include <sqlite3.h>

namespace {

//! Runs a transaction-control statement; throws DbError with the engine's message.
void control(sqlite3 *handle, const char *sql, const QString &statement) {
    if (sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(handle)), sqlite3_extended_errcode(handle), statement);
}

//! Ends a failed write; the failure being reported already, a rollback that fails only leaves a
//! trace (the engine rolls back itself when it cannot keep the transaction).
void rollback(sqlite3 *handle) {
    if (sqlite3_get_autocommit(handle)) return;
    if (sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK)
        qCDebug(lcData) << "rollback failed:" << sqlite3_errmsg(handle);
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

void Connection::setBusyTimeoutMs(int ms) {
    m_busyTimeoutMs = ms;
    m_file.setBusyTimeoutMs(ms);
}

bool Connection::isOpen() const {
    return handle() != nullptr;
}

QSqlDatabase Connection::database() const {
    const QString &name = m_file.connectionName();
    return name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(name, false);
}

void Connection::open() {
    if (isOpen()) return;
    m_file.open(m_path, m_forceReadOnly, m_busyTimeoutMs);
}

void Connection::close() {
    m_file.close();
}

void Connection::requireOpen() const {
    if (!isOpen()) throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
}

qint64 Connection::lastInsertId() const {
    return m_lastInsertId;
}

QVariant Connection::convertFor(const QString &column, const QVariant &value) const {
    const ColumnInfo *info = Schema::column(column);
    if (!info) throw DbError(QStringLiteral("Unknown column '%1' for a bound value.").arg(column));
    return ValueConverter(m_formats).convert(*info, value);
}

QVector<QVariant> Connection::convertParams(const QVector<Statement::Param> &params) const {
    // Converted before the engine is touched, so a refused value stores nothing.
    QVector<QVariant> values;
    values.reserve(params.size());
    for (const Statement::Param &p : params)
        values.append(p.column.isEmpty() ? p.value : convertFor(p.column, p.value));
    return values;
}

QString Connection::engineText(const Statement &statement) const {
    return StatementRewriter::translateDateLiterals(statement.text(), ValueConverter(m_formats));
}

ResultSet Connection::select(const Statement &statement) {
    return run(statement, false);
}

ResultSet Connection::selectKeyed(const Statement &statement) {
    return run(statement, true);
}

ResultSet Connection::run(const Statement &statement, bool keyed) {
    requireOpen();
    try {
        const QString text = engineText(statement);
        const QVector<QVariant> values = convertParams(statement.params());
        if (keyed) {
            KeyedSelect select(handle(), text);
            select.statement().bindAll(values);
            ResultSet rs = RowFetcher::fetch(select.statement(), select.keyTable());
            if (!select.statement().readOnly()) m_lastInsertId = sqlite3_last_insert_rowid(handle());
            return rs;
        }
        PreparedStatement prepared(handle(), text);
        prepared.bindAll(values);
        ResultSet rs = RowFetcher::fetch(prepared);
        if (!prepared.readOnly()) m_lastInsertId = sqlite3_last_insert_rowid(handle());
        return rs;
    } catch (const DbError &e) {
        throw e.withStatement(statement.text());
    }
}

int Connection::execute(const Statement &statement) {
    requireOpen();
    // The spreadsheet export is the engine's own: a select whose rows go to a new workbook.
    if (const auto target = SpreadsheetExport::recognise(statement.text())) {
        SpreadsheetExport::run(*this, *target, statement.params());
        return 0;
    }
    try {
        PreparedStatement prepared(handle(), engineText(statement));
        prepared.bindAll(convertParams(statement.params()));

        // A write takes the write lock up front (waiting out other copies up to the busy timeout),
        // so it cannot fail half-way on a lock it could not upgrade.
        const bool ownTransaction = !prepared.readOnly() && sqlite3_get_autocommit(handle());
        if (ownTransaction) control(handle(), "BEGIN IMMEDIATE", prepared.text());
        int changed = 0;
        qint64 rowid = 0;
        try {
            prepared.run();
            changed = sqlite3_changes(handle());
            rowid = sqlite3_last_insert_rowid(handle());
            if (ownTransaction) control(handle(), "COMMIT", prepared.text());
        } catch (const DbError &) {
            if (ownTransaction) rollback(handle());
            throw;
        }
        m_lastInsertId = rowid;
        return changed;
    } catch (const DbError &e) {
        throw e.withStatement(statement.text());
    }
}
