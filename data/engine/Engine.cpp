#include "Engine.h"

#include "Connection.h"
#include "PostgresEngine.h"
#include "Schema.h"
#include "SqliteEngine.h"

#include <QCoreApplication>
#include <QRegularExpression>

bool Engine::isServer(const QString &database) {
    return database.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           database.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString Engine::shown(const QString &database) {
    if (!isServer(database)) return database;
    // Any password the URL carries, in the user part or as a parameter, stands as "***".
    static const QRegularExpression userPassword(QStringLiteral("^([a-z]+://[^:@/?#]*:)[^@/?#]*@"),
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression passwordParameter(QStringLiteral("([?&]password)(=[^&#]*)?"),
                                                      QRegularExpression::CaseInsensitiveOption);
    return QString(database)
        .replace(userPassword, QStringLiteral("\\1***@"))
        .replace(passwordParameter, QStringLiteral("\\1=***"));
}

std::unique_ptr<Engine> Engine::create(const QString &database) {
    if (isServer(database)) return std::make_unique<PostgresEngine>();
    return std::make_unique<SqliteEngine>();
}

void Engine::createDatabase(const QString &database) {
    // The first version, then every step after it, in one transaction: a new database is made
    // the way an old one is upgraded, so the two can never differ.
    Connection c;
    c.setDatabaseFile(database);
    c.create([] {});
}

DbError Engine::schemaVersionRefused(const QString &database, int version) {
    const QString name = shown(Connection::fullName(database));
    if (version < Schema::CurrentVersion)
        return DbError(QCoreApplication::translate(
                           "Engine",
                           "資料庫 %1 是舊版 Kelvaro 建立的（資料庫結構第 %2 版），這一版的程式需要第 %3 版。"
                           "請系統管理者先在每台電腦裝好這一版的程式，再執行一次：kelvaro-admin upgrade %1")
                           .arg(name)
                           .arg(version)
                           .arg(Schema::CurrentVersion))
            .categorised(DbError::Category::OlderSchema);
    return DbError(QCoreApplication::translate(
                       "Engine",
                       "資料庫 %1 是較新版的 Kelvaro 建立的（資料庫結構第 %2 版），這一版的程式"
                       "只認得到第 %3 版，所以沒有開啟它，也沒有寫入任何東西。請安裝新版的 Kelvaro。")
                       .arg(name)
                       .arg(version)
                       .arg(Schema::CurrentVersion))
        .categorised(DbError::Category::NewerSchema);
}
