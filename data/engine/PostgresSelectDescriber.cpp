#include "PostgresSelectDescriber.h"

#include "DataLog.h"
#include "PostgresParams.h"
#include "PostgresResult.h"
#include "PostgresSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

//! What the walk over the plan's nodes found.
struct PlanFacts {
    SelectDescription *description;
    int sources = 0; //!< nodes that produce rows of their own: scans of tables, functions, values
};

// Nodes that pass on the rows of their inputs, one for one, or join them (a join has two sources).
const QSet<QString> &passingNodes() {
    static const QSet<QString> nodes{QStringLiteral("Result"),       QStringLiteral("Limit"),
                                     QStringLiteral("Sort"),         QStringLiteral("Incremental Sort"),
                                     QStringLiteral("Materialize"),  QStringLiteral("Memoize"),
                                     QStringLiteral("LockRows"),     QStringLiteral("Gather"),
                                     QStringLiteral("Gather Merge"), QStringLiteral("Hash"),
                                     QStringLiteral("Nested Loop"),  QStringLiteral("Hash Join"),
                                     QStringLiteral("Merge Join"),   QStringLiteral("BitmapAnd"),
                                     QStringLiteral("BitmapOr"),     QStringLiteral("Bitmap Index Scan")};
    return nodes;
}

// Scans that read one table's rows, each once.
const QSet<QString> &tableScans() {
    static const QSet<QString> nodes{QStringLiteral("Seq Scan"),        QStringLiteral("Index Scan"),
                                     QStringLiteral("Index Only Scan"), QStringLiteral("Bitmap Heap Scan"),
                                     QStringLiteral("Tid Scan"),        QStringLiteral("Tid Range Scan"),
                                     QStringLiteral("Sample Scan")};
    return nodes;
}

void walk(const QJsonObject &node, PlanFacts *facts) {
    SelectDescription &d = *facts->description;
    const QString type = node.value(QLatin1String("Node Type")).toString();
    const QString parent = node.value(QLatin1String("Parent Relationship")).toString();
    // A subquery the plan runs on its own (a scalar subquery, an IN list, min() read from an index).
    if (parent == QLatin1String("InitPlan") || parent == QLatin1String("SubPlan")) d.compound = true;
    if (tableScans().contains(type)) {
        ++facts->sources;
        const QString table = node.value(QLatin1String("Relation Name")).toString();
        if (!d.tablesRead.contains(table, Qt::CaseInsensitive)) d.tablesRead << table;
    } else if (type == QLatin1String("Aggregate") || type == QLatin1String("WindowAgg")) {
        d.aggregates = true;
        if (node.contains(QLatin1String("Group Key"))) d.groups = true;
    } else if (type == QLatin1String("Group")) {
        d.groups = true;
    } else if (type == QLatin1String("Unique")) {
        d.distinct = true;
    } else if (!passingNodes().contains(type)) {
        // Set operations, subqueries and common table expressions read as their own selects,
        // functions and VALUES give rows of no table, and a node this walk does not know is
        // taken the same way: the rows are then not written back.
        d.compound = true;
    }
    for (const QJsonValue child : node.value(QLatin1String("Plans")).toArray())
        walk(child.toObject(), facts);
}

//! Whether a failure means the server could not take the text as asked, rather than a failure
//! the statement itself would meet.
bool cannotTakeText(const PostgresResult &r) {
    const char *state = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
    return state && state[0] == '4' && state[1] == '2';
}

} // namespace

bool PostgresSelectDescriber::describePlan(PGconn *connection, const QByteArray &sql,
                                           const PostgresParams &params, SelectDescription *description) {
    const QByteArray explain = QByteArrayLiteral("EXPLAIN (FORMAT JSON) ") + sql;
    const PostgresResult r(PQexecParams(connection, explain.constData(), params.count(), params.types(),
                                        params.values(), params.lengths(), params.formats(), 0));
    if (!r.ok()) {
        if (cannotTakeText(r)) {
            qCDebug(lcData) << "no plan:" << PQresultErrorMessage(r.get());
            return false;
        }
        throw PostgresResult::error(r.get(), connection, QString::fromUtf8(sql));
    }
    *description = SelectDescription();
    PlanFacts facts{description};
    const QJsonDocument plan = QJsonDocument::fromJson(QByteArray(PQgetvalue(r.get(), 0, 0)));
    walk(plan.array().first().toObject().value(QLatin1String("Plan")).toObject(), &facts);
    // Two sources joined: each row stands for a pair of rows.
    if (facts.sources > 1) description->compound = true;
    return true;
}

bool PostgresSelectDescriber::prepare(PGconn *connection, const QByteArray &sql, const PostgresParams &params,
                                      const PostgresCatalog &catalog, QVector<ResultColumn> *columns) {
    const PostgresResult prepared(PQprepare(connection, "", sql.constData(), params.count(), params.types()));
    const PostgresResult described(prepared.ok() ? PQdescribePrepared(connection, "") : nullptr);
    const PostgresResult &failed = prepared.ok() ? described : prepared;
    if (!failed.ok()) {
        if (cannotTakeText(failed)) {
            qCDebug(lcData) << "not prepared:" << PQresultErrorMessage(failed.get());
            return false;
        }
        throw PostgresResult::error(failed.get(), connection, QString::fromUtf8(sql));
    }
    const int n = PQnfields(described.get());
    columns->resize(n);
    for (int c = 0; c < n; ++c)
        (*columns)[c] = column(described.get(), c, catalog);
    return true;
}

ResultColumn PostgresSelectDescriber::column(const PGresult *result, int field,
                                             const PostgresCatalog &catalog) {
    const Oid table = PQftable(result, field);
    ResultColumn c;
    c.name = QString::fromUtf8(PQfname(result, field));
    c.table = catalog.table(table);
    c.originName = c.table.isEmpty() ? QString() : catalog.column(table, PQftablecol(result, field));
    if (c.originName.isEmpty()) c.table.clear();
    return c;
}
