#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

//! One statement prepared on the engine's handle, finalized however the scope is left.
//! Exactly one statement: anything after it but white space is refused. Failures throw
//! DbError with the engine's message, its code and the statement text.
class PreparedStatement {
public:
    PreparedStatement(sqlite3 *handle, const QString &text);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement &) = delete;
    PreparedStatement &operator=(const PreparedStatement &) = delete;

    //! Prepares `text` without throwing; null when the engine refuses it.
    static std::unique_ptr<PreparedStatement> tryPrepare(sqlite3 *handle, const QString &text);

    //! Binds every value in order; the statement must ask for exactly as many.
    void bindAll(const QVector<QVariant> &values);
    //! Steps to the end, discarding rows; throws on failure. Leaves the statement reset.
    void run();

    sqlite3_stmt *get() const { return m_stmt; }
    const QString &text() const { return m_text; }
    //! The statement writes nothing.
    bool readOnly() const;
    int columnCount() const;
    QString columnName(int column) const;
    //! Table of the column's origin; empty for an expression.
    QString tableName(int column) const;
    //! Column name in that table; empty for an expression.
    QString originName(int column) const;

    //! Throws DbError with the engine's last message and code, naming this statement.
    [[noreturn]] void fail() const;

private:
    PreparedStatement() = default;

    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_text;
};
