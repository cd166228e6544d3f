#include "SqliteSelectDescriber.h"

#include "PreparedStatement.h"
#include "StatementRewriter.h"

#include <QSet>
#include <sqlite3.h>

namespace {

//! What the authorizer is told while a statement is prepared.
struct Reads {
    QStringList tables;
    int selects = 0;
    bool recursive = false;
};

int authorize(void *context, int action, const char *a, const char *, const char *, const char *) {
    auto *reads = static_cast<Reads *>(context);
    if (action == SQLITE_READ && a) {
        // Called for every column read, and once with no column for a table none of whose
        // columns is read (a cross join's second table, count(*)).
        const QString table = QString::fromUtf8(a);
        if (!reads->tables.contains(table, Qt::CaseInsensitive)) reads->tables << table;
    } else if (action == SQLITE_SELECT) {
        ++reads->selects; // once per select: the whole statement, each compound part, each subquery
    } else if (action == SQLITE_RECURSIVE) {
        reads->recursive = true;
    }
    return SQLITE_OK;
}

//! The authorizer for exactly one prepare. Installing it marks the connection's other prepared
//! statements for recompiling before their next step; ours are short-lived, so that costs nothing.
class AuthorizerScope {
public:
    AuthorizerScope(sqlite3 *handle, Reads *reads)
        : m_handle(handle) {
        sqlite3_set_authorizer(handle, authorize, reads);
    }
    ~AuthorizerScope() { sqlite3_set_authorizer(m_handle, nullptr, nullptr); }
    AuthorizerScope(const AuthorizerScope &) = delete;
    AuthorizerScope &operator=(const AuthorizerScope &) = delete;

private:
    sqlite3 *m_handle;
};

struct Instruction {
    QByteArray opcode;
    int p2;
};

} // namespace

std::unique_ptr<PreparedStatement> SqliteSelectDescriber::prepare(sqlite3 *handle, const QString &text,
                                                                  SelectDescription *description) {
    Reads reads;
    std::unique_ptr<PreparedStatement> prepared;
    {
        AuthorizerScope scope(handle, &reads);
        prepared = std::make_unique<PreparedStatement>(handle, text);
    }
    SelectDescription &d = *description;
    d = SelectDescription();
    d.tablesRead = reads.tables;
    d.compound = reads.selects > 1 || reads.recursive;
    const int n = prepared->columnCount();
    d.columns.resize(n);
    for (int c = 0; c < n; ++c)
        d.columns[c] = {prepared->columnName(c), prepared->tableName(c), prepared->originName(c)};
    return prepared;
}

void SqliteSelectDescriber::describeProgram(sqlite3 *handle, const QString &text,
                                            SelectDescription *description) {
    SelectDescription &d = *description;
    // The engine compiles the same select with ALL before its columns only when it has no
    // DISTINCT (or ALL) of its own: a refusal is its word that duplicates are dropped. A text
    // that does not start with SELECT cannot be asked, and is taken as dropping them.
    const QString probe = StatementRewriter::afterSelect(text, QStringLiteral("ALL "));
    std::unique_ptr<PreparedStatement> program =
        probe.isEmpty() ? nullptr : PreparedStatement::tryPrepare(handle, QStringLiteral("EXPLAIN ") + probe);
    if (!program) {
        d.distinct = true;
        return;
    }
    // EXPLAIN lists the program (address, opcode, p1, p2, ...) without running it.
    std::vector<Instruction> code;
    sqlite3_stmt *st = program->get();
    while (sqlite3_step(st) == SQLITE_ROW)
        code.push_back({QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))),
                        sqlite3_column_int(st, 3)});
    static const QSet<QByteArray> aggregateOps{"AggStep",    "AggStep1", "AggValue",
                                               "AggInverse", "AggFinal", "Count"};
    for (size_t i = 0; i < code.size(); ++i) {
        if (aggregateOps.contains(code[i].opcode)) d.aggregates = true;
        // Grouping compiles to a subroutine that puts out one group's row; it starts with an IfPos
        // on the group's use flag that jumps over the Return right after it.
        if (code[i].opcode == "IfPos" && code[i].p2 == int(i) + 2 && i + 1 < code.size() &&
            code[i + 1].opcode == "Return")
            d.groups = true;
    }
}
