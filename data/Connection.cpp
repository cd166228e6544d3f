#include "Connection.h"

#include "AccountNameRule.h"
#include "DbError.h"
#include "Schema.h"
#include "SpreadsheetExport.h"
#include "TextCollation.h"
#include "ValueConverter.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <sqlite3.h>

namespace {

QAtomicInt g_connectionCounter;

//! Finalizes a prepared statement however the scope is left.
struct StmtGuard {
    sqlite3_stmt *stmt = nullptr;
    ~StmtGuard() { sqlite3_finalize(stmt); }
};

[[noreturn]] void fail(sqlite3 *h, const QString &prefix = QString()) {
    const QString msg = QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(h)));
    throw DbError(prefix + msg, sqlite3_extended_errcode(h));
}

bool onlyWhitespace(const char16_t *p) {
    for (; p && *p; ++p)
        if (!QChar(*p).isSpace() && *p != u';') return false;
    return true;
}

//! `#date#` literals (outside quotes) become ISO text literals, so statements written the old
//! way compare with the ISO text that date columns hold.
QString translateDateLiterals(const QString &text, const ValueConverter &converter) {
    if (!text.contains(QLatin1Char('#'))) return text;
    QString out;
    out.reserve(text.size());
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            out += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('#')) {
            const qsizetype end = text.indexOf(QLatin1Char('#'), i + 1);
            const QString inner = end < 0 ? QString() : text.mid(i + 1, end - i - 1);
            QDate d = converter.parseDate(inner);
            if (!d.isValid()) // the old dialect also read month/day/year
                d = QDate::fromString(inner.trimmed(), QStringLiteral("M/d/yyyy"));
            if (!d.isValid())
                throw DbError(QStringLiteral("Syntax error in date in query expression '#%1#'.").arg(inner));
            out += QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'');
            i = end;
        } else {
            out += c;
        }
    }
    return out;
}

void bindValue(sqlite3_stmt *st, int index, const QVariant &v) {
    switch (v.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        sqlite3_bind_null(st, index);
        return;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        v.isNull() ? sqlite3_bind_null(st, index) : sqlite3_bind_int64(st, index, v.toLongLong());
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
        v.isNull()
            ? sqlite3_bind_null(st, index)
            : sqlite3_bind_text16(st, index, v.toDate().toString(Qt::ISODate).utf16(), -1, SQLITE_TRANSIENT);
        return;
    case QMetaType::QTime:
        v.isNull() ? sqlite3_bind_null(st, index)
                   : sqlite3_bind_text16(st, index, v.toTime().toString(QStringLiteral("HH:mm")).utf16(), -1,
                                         SQLITE_TRANSIENT);
        return;
    default:
        if (v.isNull()) {
            sqlite3_bind_null(st, index);
        } else {
            const QString s = v.toString();
            sqlite3_bind_text16(st, index, s.utf16(), int(s.size() * 2), SQLITE_TRANSIENT);
        }
    }
}

//! Prepares exactly one statement into `g`; anything after it but white space is refused.
void prepareOne(sqlite3 *h, const QString &text, StmtGuard &g) {
    const void *tail = nullptr;
    if (sqlite3_prepare16_v2(h, text.utf16(), int(text.size() * 2), &g.stmt, &tail) != SQLITE_OK) fail(h);
    if (!g.stmt) throw DbError(QStringLiteral("The statement is empty."));
    if (!onlyWhitespace(static_cast<const char16_t *>(tail)))
        throw DbError(QStringLiteral("Characters found after end of SQL statement."));
}

//! Binds every value in order; the statement must ask for exactly as many.
void bindAll(sqlite3_stmt *st, const QVector<QVariant> &values) {
    if (sqlite3_bind_parameter_count(st) != values.size())
        throw DbError(
            QStringLiteral("No value given for one or more required parameters (%1 given, %2 expected).")
                .arg(values.size())
                .arg(sqlite3_bind_parameter_count(st)));
    for (int i = 0; i < values.size(); ++i)
        bindValue(st, i + 1, values[i]);
}

QString str16(const void *p) {
    return p ? QString::fromUtf16(static_cast<const char16_t *>(p)) : QString();
}

//! A select of plain columns from one table, which rows can be written back to by key.
bool looksKeyable(const QString &text) {
    static const QRegularExpression blocked(
        QStringLiteral("\\b(group\\s+by|distinct|union|intersect|except|join|having)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression startsWithSelect(QStringLiteral("^\\s*select\\s"),
                                                     QRegularExpression::CaseInsensitiveOption);
    return startsWithSelect.match(text).hasMatch() && !blocked.match(text).hasMatch();
}

} // namespace

Connection::Connection() = default;

Connection::~Connection() {
    close();
}

void Connection::setBusyTimeoutMs(int ms) {
    m_busyTimeoutMs = ms;
    if (m_handle) sqlite3_busy_timeout(m_handle, ms);
}

bool Connection::isOpen() const {
    return m_handle != nullptr;
}

QSqlDatabase Connection::database() const {
    return m_name.isEmpty() ? QSqlDatabase() : QSqlDatabase::database(m_name, false);
}

void Connection::open() {
    if (m_handle) return;
    const QFileInfo info(m_file);
    const QString path = info.absoluteFilePath();
    if (!info.exists()) throw DbError(QStringLiteral("Could not find file '%1'.").arg(path), SQLITE_CANTOPEN);
    if (!info.isFile())
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path), SQLITE_CANTOPEN);
    m_readOnly = m_forceReadOnly || !info.isWritable();

    // mode=rw never creates the file, even if it vanished since the check above.
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(m_readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    m_name = QStringLiteral("kelvaro-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(QString::fromUtf8(uri.toEncoded()));
        QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs);
        if (m_readOnly) options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            const QString msg = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            m_name.clear();
            throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, msg), SQLITE_CANTOPEN);
        }
        const QVariant h = db.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(h.data());
    }
    auto abandon = [this](const QString &msg, int code) {
        m_handle = nullptr;
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
        throw DbError(msg, code);
    };
    if (!m_handle) abandon(QStringLiteral("Cannot open '%1': the driver gave no handle.").arg(path), 0);
    sqlite3_busy_timeout(m_handle, m_busyTimeoutMs);
    sqlite3_extended_result_codes(m_handle, 1);

    // Reading the schema is the first read: a file that is not a database fails here, and
    // nothing has been written to it.
    const QStringList problems = Schema::verify(m_handle);
    if (!problems.isEmpty()) {
        const int code = sqlite3_extended_errcode(m_handle);
        const bool notDb =
            code == SQLITE_NOTADB || problems.first().contains(QLatin1String("not a database"));
        abandon(notDb ? QStringLiteral("Cannot open '%1': file is not a database.").arg(path)
                      : QStringLiteral("'%1' is not a Kelvaro database: %2")
                            .arg(path, problems.join(QLatin1Char(' '))),
                notDb ? SQLITE_NOTADB : 0);
    }
    if (TextCollation::install(m_handle) != SQLITE_OK)
        abandon(
            QStringLiteral("Cannot register the text collation: %1").arg(str16(sqlite3_errmsg16(m_handle))),
            sqlite3_extended_errcode(m_handle));
    if (AccountNameRule::install(m_handle) != SQLITE_OK)
        abandon(
            QStringLiteral("Cannot install the account name rule: %1").arg(str16(sqlite3_errmsg16(m_handle))),
            sqlite3_extended_errcode(m_handle));
}

void Connection::close() {
    if (m_name.isEmpty()) return;
    m_handle = nullptr;
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

void Connection::requireOpen() const {
    if (!m_handle) throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
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

ResultSet Connection::select(const Statement &statement) {
    return run(statement.text(), statement.params(), false);
}

ResultSet Connection::selectKeyed(const Statement &statement) {
    return run(statement.text(), statement.params(), true);
}

ResultSet Connection::run(const QString &rawText, const QVector<Statement::Param> &params, bool keyed) {
    requireOpen();
    const QString text = translateDateLiterals(rawText, ValueConverter(m_formats));
    const QVector<QVariant> values = convertParams(params);
    StmtGuard g;
    prepareOne(m_handle, text, g);

    ResultSet rs;
    int offset = 0; // the key, when fetched, is column 0 of the statement
    if (keyed && looksKeyable(text)) {
        const int n = sqlite3_column_count(g.stmt);
        QString table;
        bool plain = n > 0;
        for (int c = 0; c < n && plain; ++c) {
            const QString t = str16(sqlite3_column_table_name16(g.stmt, c));
            plain = !t.isEmpty() && (table.isEmpty() || t == table);
            table = t;
        }
        if (plain) {
            static const QRegularExpression select(QStringLiteral("^\\s*select\\s"),
                                                   QRegularExpression::CaseInsensitiveOption);
            const qsizetype at = select.match(text).capturedEnd();
            for (const QString &key : {table + QStringLiteral(".rowid"), QStringLiteral("rowid")}) {
                const QString rewritten = text.left(at) + key + QStringLiteral(", ") + text.mid(at);
                sqlite3_stmt *st = nullptr;
                if (sqlite3_prepare16_v2(m_handle, rewritten.utf16(), int(rewritten.size() * 2), &st,
                                         nullptr) == SQLITE_OK &&
                    st && sqlite3_column_count(st) == n + 1 &&
                    str16(sqlite3_column_table_name16(st, 0)) == table) {
                    sqlite3_finalize(g.stmt);
                    g.stmt = st;
                    offset = 1;
                    rs.keyTable = table;
                    break;
                }
                sqlite3_finalize(st);
            }
        }
    }

    bindAll(g.stmt, values);

    const int total = sqlite3_column_count(g.stmt);
    const int n = total - offset;
    rs.columns.resize(n);
    for (int c = 0; c < n; ++c) {
        rs.columns[c].name = str16(sqlite3_column_name16(g.stmt, c + offset));
        rs.columns[c].table = str16(sqlite3_column_table_name16(g.stmt, c + offset));
        rs.columns[c].originName = str16(sqlite3_column_origin_name16(g.stmt, c + offset));
    }

    rs.m_cells.reserve(size_t(n) * 256);
    rs.m_text.reserve(size_t(n) * 256 * 8);
    int rc;
    while ((rc = sqlite3_step(g.stmt)) == SQLITE_ROW) {
        if (offset) rs.keys.push_back(sqlite3_column_int64(g.stmt, 0));
        for (int c = offset; c < total; ++c) {
            ResultSet::Cell cell{};
            switch (sqlite3_column_type(g.stmt, c)) {
            case SQLITE_INTEGER:
                cell.kind = ResultSet::Kind::Integer;
                cell.integer = sqlite3_column_int64(g.stmt, c);
                break;
            case SQLITE_FLOAT:
                cell.kind = ResultSet::Kind::Real;
                cell.real = sqlite3_column_double(g.stmt, c);
                break;
            case SQLITE_TEXT: {
                const unsigned char *p = sqlite3_column_text(g.stmt, c);
                rs.appendUtf8(cell, p, sqlite3_column_bytes(g.stmt, c));
                break;
            }
            case SQLITE_BLOB: {
                const auto *p = static_cast<const char *>(sqlite3_column_blob(g.stmt, c));
                cell.kind = ResultSet::Kind::Blob;
                cell.integer = rs.m_blobs.size();
                rs.m_blobs.append(QByteArray(p, sqlite3_column_bytes(g.stmt, c)));
                break;
            }
            default:
                cell.kind = ResultSet::Kind::Null;
            }
            rs.m_cells.push_back(cell);
        }
        ++rs.m_rows;
    }
    if (rc != SQLITE_DONE) fail(m_handle);
    if (!sqlite3_stmt_readonly(g.stmt)) m_lastInsertId = sqlite3_last_insert_rowid(m_handle);
    return rs;
}

int Connection::execute(const Statement &statement) {
    requireOpen();
    // The spreadsheet export is the engine's own: a select whose rows go to a new workbook.
    if (const auto target = SpreadsheetExport::recognise(statement.text())) {
        SpreadsheetExport::run(*this, *target, statement.params());
        return 0;
    }
    const QString text = translateDateLiterals(statement.text(), ValueConverter(m_formats));
    const QVector<QVariant> values = convertParams(statement.params());
    StmtGuard g;
    prepareOne(m_handle, text, g);
    bindAll(g.stmt, values);

    // A write takes the write lock up front (waiting out other copies up to the busy timeout),
    // so it cannot fail half-way on a lock it could not upgrade.
    const bool ownTransaction = !sqlite3_stmt_readonly(g.stmt) && sqlite3_get_autocommit(m_handle);
    if (ownTransaction && sqlite3_exec(m_handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(m_handle);
    int rc;
    while ((rc = sqlite3_step(g.stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString msg = str16(sqlite3_errmsg16(m_handle));
        const int code = sqlite3_extended_errcode(m_handle);
        sqlite3_reset(g.stmt);
        if (ownTransaction) sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw DbError(msg, code);
    }
    const int changed = sqlite3_changes(m_handle);
    const qint64 rowid = sqlite3_last_insert_rowid(m_handle);
    sqlite3_reset(g.stmt);
    if (ownTransaction && sqlite3_exec(m_handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString msg = str16(sqlite3_errmsg16(m_handle));
        const int code = sqlite3_extended_errcode(m_handle);
        sqlite3_exec(m_handle, "ROLLBACK", nullptr, nullptr, nullptr);
        throw DbError(msg, code);
    }
    m_lastInsertId = rowid;
    return changed;
}
