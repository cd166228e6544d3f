#include "KeyedSelect.h"

#include "DataLog.h"
#include "StatementRewriter.h"

#include <QRegularExpression>

bool KeyedSelect::looksKeyable(const QString &text) {
    static const QRegularExpression blocked(
        QStringLiteral("\\b(group\\s+by|distinct|union|intersect|except|join|having)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression startsWithSelect(QStringLiteral("^\\s*select\\s"),
                                                     QRegularExpression::CaseInsensitiveOption);
    return startsWithSelect.match(text).hasMatch() && !blocked.match(text).hasMatch();
}

KeyedSelect::KeyedSelect(sqlite3 *handle, const QString &text)
    : m_statement(std::make_unique<PreparedStatement>(handle, text)) {
    if (!looksKeyable(text)) return;
    const int n = m_statement->columnCount();
    QString table;
    bool plain = n > 0;
    for (int c = 0; c < n && plain; ++c) {
        const QString t = m_statement->tableName(c);
        plain = !t.isEmpty() && (table.isEmpty() || t == table);
        table = t;
    }
    if (!plain) return;
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
