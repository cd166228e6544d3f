#include "KeyedSelect.h"

#include "DataLog.h"
#include "EditableRows.h"
#include "SqliteSelectDescriber.h"
#include "StatementRewriter.h"

KeyedSelect::KeyedSelect(sqlite3 *handle, const QString &text) {
    SelectDescription description;
    m_statement = SqliteSelectDescriber::prepare(handle, text, &description);
    // The program's facts can only take editability away: ask for them only when the rest allows.
    if (EditableRows(description).table().isEmpty()) return;
    SqliteSelectDescriber::describeProgram(handle, text, &description);
    const QString table = EditableRows(description).table();
    if (table.isEmpty()) return;
    const int n = m_statement->columnCount();
    for (const QString &key : {table + QStringLiteral(".rowid"), QStringLiteral("rowid")}) {
        std::unique_ptr<PreparedStatement> keyed =
            PreparedStatement::tryPrepare(handle, StatementRewriter::withKeyColumn(text, key));
        if (keyed && keyed->columnCount() == n + 1 && keyed->tableName(0) == table) {
            m_statement = std::move(keyed);
            m_keyTable = table;
            return;
        }
    }
    qCDebug(lcData) << "rows of" << table << "carry no key:" << text;
}
