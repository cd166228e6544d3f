#pragma once

#include <QString>
#include <stdexcept>

//! The one exception type of the data layer: carries the engine's message text, its code,
//! and the statement that failed, so a failure can be diagnosed from the log.
class DbError : public std::runtime_error {
public:
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
};
