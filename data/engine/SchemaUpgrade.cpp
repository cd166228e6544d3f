#include "SchemaUpgrade.h"

#include "Connection.h"
#include "DbError.h"
#include "Engine.h"

QStringList SchemaUpgrade::applySteps(Connection &c, int from, const QVector<SchemaStep> &steps) {
    QStringList ran;
    int reached = from;
    for (const SchemaStep &step : steps) {
        if (step.version <= from) continue;
        step.apply(c);
        ran << QString::fromUtf8(step.name);
        reached = step.version;
    }
    if (reached == from) return ran;
    c.setSchemaVersion(reached);
    // The result is checked before anything is kept: a step that made something else than the
    // schema of its version undoes the whole upgrade.
    const QStringList problems = c.schemaProblems();
    if (!problems.isEmpty())
        throw DbError(QStringLiteral("The upgraded schema is not that of version %1: %2")
                          .arg(reached)
                          .arg(problems.join(QLatin1Char(' '))));
    return ran;
}

QStringList SchemaUpgrade::run(Connection &c, const QVector<SchemaStep> &steps) {
    const int target = steps.isEmpty() ? 1 : steps.last().version;
    QStringList ran;
    c.inTransaction([&] {
        // Read within the transaction, so no other upgrade can run the same steps meanwhile.
        const int from = c.schemaVersion();
        if (from > target) throw Engine::schemaVersionRefused(c.databaseFile(), from);
        ran = applySteps(c, from, steps);
    });
    return ran;
}
