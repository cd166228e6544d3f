#include "Engine.h"

#include "PostgresEngine.h"
#include "Schema.h"
#include "SqliteEngine.h"

bool Engine::isServer(const QString &database) {
    return database.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           database.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
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
