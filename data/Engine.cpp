#include "Engine.h"

#include "PostgresEngine.h"
#include "Schema.h"
#include "SqliteEngine.h"

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
    if (isServer(database))
        PostgresEngine::createDatabase(database);
    else
        Schema::createDatabase(database);
}
