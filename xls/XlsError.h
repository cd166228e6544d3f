#pragma once

#include <QString>
#include <stdexcept>

//! Why a spreadsheet file could not be written; the message is meant for the user.
class XlsError : public std::runtime_error {
public:
    explicit XlsError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}

    //! The reason, as the user should see it.
    QString message() const { return m_message; }

private:
    QString m_message;
};
