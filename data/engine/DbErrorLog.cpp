#include "DbErrorLog.h"

#include "DbError.h"

namespace {

const char *categoryName(DbError::Category category) {
    switch (category) {
    case DbError::Category::BadValue:
        return "BadValue";
    case DbError::Category::TooLong:
        return "TooLong";
    case DbError::Category::Duplicate:
        return "Duplicate";
    case DbError::Category::Busy:
        return "Busy";
    case DbError::Category::ConnectionLost:
        return "ConnectionLost";
    case DbError::Category::OlderSchema:
        return "OlderSchema";
    case DbError::Category::NewerSchema:
        return "NewerSchema";
    case DbError::Category::Other:
        break;
    }
    return "Other";
}

} // namespace

namespace DbErrorLog {

void write(const QLoggingCategory &category, const char *what, const std::exception &e) {
    if (!category.isDebugEnabled()) return;
    const auto *db = dynamic_cast<const DbError *>(&e);
    if (!db) {
        qCDebug(category).nospace().noquote() << what << ": " << QString::fromLocal8Bit(e.what());
        return;
    }
    QString statement = QStringLiteral("none");
    // Quoted, so that the statement's line breaks show as \r\n and the entry stays one line.
    if (!db->statement().isEmpty()) {
        statement.clear();
        QDebug(&statement).nospace() << db->statement();
    }
    const QString code = db->engineCode();
    qCDebug(category).nospace().noquote()
        << what << ": " << db->message() << " (category " << categoryName(db->category()) << ", engine code "
        << (code.isEmpty() ? QStringLiteral("none") : code) << ", statement " << statement << ")";
}

} // namespace DbErrorLog
