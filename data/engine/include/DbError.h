#pragma once

#include <QString>
#include <stdexcept>

//! The one exception type of the data layer: carries the engine's message text, its code,
//! and the statement that failed, so a failure can be diagnosed from the log.
class DbError : public std::runtime_error {
public:
    //! What kind of failure it is, the same whichever engine runs.
    enum class Category {
        Other,
        BadValue,
        TooLong,
        Duplicate,
        Busy,
        ConnectionLost,
        //! The database records an older schema version: `kelvaro-admin upgrade` brings it up.
        OlderSchema,
        //! The database records a newer schema version than this program knows.
        NewerSchema
    };

    //! `code` is the engine's extended result code where there is one, else 0; `statement` the
    //! text of the statement that failed, where there was one.
    explicit DbError(const QString &message, int code = 0, const QString &statement = QString())
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_code(code)
        , m_statement(statement) {}

    //! The engine's message, as the user should see it.
    QString message() const { return m_message; }
    int code() const { return m_code; }
    //! The statement that failed, for the log; empty when none was running.
    QString statement() const { return m_statement; }
    Category category() const { return m_category; }
    //! The engine's own code as text: SQLite's extended result code, PostgreSQL's SQLSTATE.
    QString engineCode() const {
        return m_engineCode.isEmpty() && m_code ? QString::number(m_code) : m_engineCode;
    }
    //! This error with its category and the engine's own code.
    DbError categorised(Category category, const QString &engineCode = QString()) const {
        DbError e = *this;
        e.m_category = category;
        if (!engineCode.isEmpty()) e.m_engineCode = engineCode;
        return e;
    }
    //! This error naming `statement`, unless it names one already.
    DbError withStatement(const QString &statement) const {
        DbError e = *this;
        if (e.m_statement.isEmpty()) e.m_statement = statement;
        return e;
    }

private:
    QString m_message;
    int m_code;
    QString m_statement;
    Category m_category = Category::Other;
    QString m_engineCode;
};
