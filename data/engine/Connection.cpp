#include "Connection.h"

#include "DbError.h"
#include "Engine.h"
#include "Schema.h"
#include "SchemaUpgrade.h"
#include "SpreadsheetExport.h"
#include "StatementRewriter.h"
#include "ValueConverter.h"

#include <QFileInfo>

Connection::Connection() = default;

QString Connection::fullName(const QString &database) {
    return Engine::isServer(database) ? database : QFileInfo(database).absoluteFilePath();
}

bool Connection::isServer(const QString &database) {
    return Engine::isServer(database);
}

QString Connection::shown(const QString &database) {
    return Engine::shown(database);
}

DbError Connection::schemaVersionRefused(const QString &database, int version) {
    return Engine::schemaVersionRefused(database, version);
}

Connection::~Connection() {
    close();
}

void Connection::setBusyTimeoutMs(int ms) {
    m_busyTimeoutMs = ms;
    if (m_engine) m_engine->setBusyTimeoutMs(ms);
}

bool Connection::isOpen() const {
    return m_engine && m_engine->isOpen();
}

bool Connection::isReadOnly() const {
    return m_engine && m_engine->readOnly();
}

sqlite3 *Connection::handle() const {
    return m_engine ? m_engine->sqliteHandle() : nullptr;
}

QSqlDatabase Connection::database() const {
    return m_engine ? m_engine->database() : QSqlDatabase();
}

void Connection::open() {
    if (isOpen()) return;
    auto engine = Engine::create(m_path);
    engine->open(m_path, EngineOptions{m_forceReadOnly, m_busyTimeoutMs, m_anySchemaVersion});
    m_engine = std::move(engine);
}

void Connection::create(const std::function<void()> &fill) {
    if (isOpen()) throw DbError(QStringLiteral("The connection is open already."));
    auto engine = Engine::create(m_path);
    engine->create(m_path, EngineOptions{false, m_busyTimeoutMs, true});
    m_engine = std::move(engine);
    try {
        finishTransaction([&] {
            SchemaUpgrade::applySteps(*this);
            fill();
        });
    } catch (...) {
        m_engine.reset();
        throw;
    }
}

void Connection::close() {
    if (m_engine) m_engine->close();
    m_inTransaction = false;
}

void Connection::inTransaction(const std::function<void()> &work) {
    requireOpen();
    if (m_inTransaction) throw DbError(QStringLiteral("A transaction is open already on this connection."));
    m_engine->begin();
    finishTransaction(work);
}

void Connection::finishTransaction(const std::function<void()> &work) {
    m_inTransaction = true;
    m_transactionFailed = false;
    try {
        work();
        // A failure that `work` caught still leaves the transaction without that statement.
        if (m_transactionFailed)
            throw DbError(QStringLiteral("A statement of the transaction failed; nothing of it was stored."));
        m_inTransaction = false;
        m_engine->commit();
    } catch (...) {
        m_inTransaction = false;
        m_engine->rollback();
        throw;
    }
}

void Connection::backupTo(const QString &path) {
    requireOpen();
    m_engine->backup(path);
}

DbError Connection::failed(const DbError &e, const Statement &statement) {
    if (m_inTransaction) m_transactionFailed = true;
    return e.withStatement(statement.text());
}

QStringList Connection::schemaProblems() const {
    requireOpen();
    return m_engine->schemaProblems();
}

bool Connection::onServer() const {
    return m_engine ? m_engine->onServer() : Engine::isServer(m_path);
}

int Connection::schemaVersion() const {
    requireOpen();
    return m_engine->schemaVersion();
}

void Connection::requireTransaction() const {
    requireOpen();
    if (!m_inTransaction) throw DbError(QStringLiteral("A schema change runs only within a transaction."));
}

void Connection::setSchemaVersion(int version) {
    requireTransaction();
    try {
        m_engine->setSchemaVersion(version);
    } catch (const DbError &) {
        m_transactionFailed = true;
        throw;
    }
}

void Connection::runScript(const QString &sql) {
    requireTransaction();
    try {
        m_engine->runScript(sql);
    } catch (const DbError &) {
        m_transactionFailed = true;
        throw;
    }
}

void Connection::requireOpen() const {
    if (!isOpen()) throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
}

qint64 Connection::lastInsertId() const {
    return m_engine ? m_engine->lastInsertId() : 0;
}

QVariant Connection::convertFor(const QString &column, const QVariant &value) const {
    const ColumnInfo *info = Schema::column(column);
    if (!info) throw DbError(QStringLiteral("Unknown column '%1' for a bound value.").arg(column));
    return convertFor(*info, value);
}

QVariant Connection::convertFor(const ColumnInfo &column, const QVariant &value) const {
    return ValueConverter(m_formats).convert(column, value);
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
        return m_engine->select(engineText(statement), convertParams(statement.params()), keyed);
    } catch (const DbError &e) {
        throw failed(e, statement);
    }
}

int Connection::execute(const Statement &statement) {
    requireOpen();
    // The spreadsheet export is the engine's own: a select whose rows go to a new workbook.
    if (SpreadsheetExport::recognise(statement.text())) {
        executeExport(statement, {});
        return 0;
    }
    try {
        return m_engine->execute(engineText(statement), convertParams(statement.params()));
    } catch (const DbError &e) {
        throw failed(e, statement);
    }
}

void Connection::executeExport(const Statement &statement, const QVector<ExportSheet> &furtherSheets) {
    requireOpen();
    const auto target = SpreadsheetExport::recognise(statement.text());
    if (!target)
        throw DbError(QStringLiteral("Only a spreadsheet export statement writes sheets."), 0,
                      statement.text());
    SpreadsheetExport::run(*this, *target, statement.params(), furtherSheets);
}
