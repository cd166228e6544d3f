#pragma once

#include <QString>
#include <stdexcept>

//! The one exception type of the data layer: carries the engine's message text.
class DbError : public std::runtime_error {
public:
    //! `code` is the engine's extended result code where there is one, else 0.
    explicit DbError(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_code(code) {}

    //! The engine's message, as the user should see it.
    QString message() const { return m_message; }
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};
