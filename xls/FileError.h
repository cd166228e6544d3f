#pragma once

#include <QString>
#include <stdexcept>

//! Why a new file could not be made; the message is meant for the user.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}

    //! The reason, as the user should see it.
    QString message() const { return m_message; }

private:
    QString m_message;
};
