#include "PostgresResult.h"

#include "AccountNameRule.h"

namespace {

DbError::Category categoryOf(const QByteArray &state, const QByteArray &constraint) {
    using C = DbError::Category;
    if (state == "22001") return C::TooLong;
    // Text sizes are CHECKs named after their column with "_len": they say which one was too long.
    if (state == "23514") return constraint.endsWith("_len") ? C::TooLong : C::BadValue;
    if (state == "23505") return C::Duplicate;
    if (state.startsWith("22") || state == "23502" || state == "42804") return C::BadValue;
    if (state == "55P03" || state == "40001" || state == "40P01" || state == "57014") return C::Busy;
    if (state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03")
        return C::ConnectionLost;
    return C::Other;
}

} // namespace

PostgresResult &PostgresResult::operator=(PostgresResult &&other) noexcept {
    if (this != &other) {
        PQclear(m_result);
        m_result = other.m_result;
        other.m_result = nullptr;
    }
    return *this;
}

bool PostgresResult::ok() const {
    const ExecStatusType s = m_result ? PQresultStatus(m_result) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_SINGLE_TUPLE;
}

QString PostgresResult::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

DbError PostgresResult::error(const PGresult *result, PGconn *connection, const QString &statement) {
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    QString message = QString::fromUtf8(primary ? primary : PQerrorMessage(connection)).trimmed();
    if (message.isEmpty()) message = QStringLiteral("The database server gave no answer.");
    const char *stateField = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QByteArray state(stateField ? stateField : "");
    // The server names every error it sends with a code; one without is the client library's own:
    // no answer at all, or a connection that ended (the library may still call it open, as when
    // the server warned and closed it), and so a lost connection whatever came with it.
    if (state.isEmpty()) state = "08006";
    const char *constraint = result ? PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME) : nullptr;
    // The unique account rule reads as it does on the file.
    if (state == "23505" && qstrcmp(constraint, "customer_number") == 0)
        message = AccountNameRule::takenMessage();
    return DbError(message, 0, statement)
        .categorised(categoryOf(state, QByteArray(constraint ? constraint : "")), QString::fromLatin1(state));
}

PostgresResult PostgresResult::exec(PGconn *connection, const QString &sql,
                                    const QVector<QByteArray> &values) {
    const QByteArray text = sql.toUtf8();
    if (values.isEmpty()) { // may hold several statements (session settings)
        PostgresResult r(PQexec(connection, text.constData()));
        if (!r.ok()) throw error(r.get(), connection, sql);
        return r;
    }
    QVector<const char *> pointers;
    for (const QByteArray &v : values)
        pointers.append(v.constData());
    PostgresResult r(PQexecParams(connection, text.constData(), int(values.size()), nullptr,
                                  pointers.constData(), nullptr, nullptr, 0));
    if (!r.ok()) throw error(r.get(), connection, sql);
    return r;
}
