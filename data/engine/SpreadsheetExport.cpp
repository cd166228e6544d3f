#include "SpreadsheetExport.h"

#include "Connection.h"
#include "DbError.h"
#include "FileError.h"
#include "Schema.h"
#include "XlsTable.h"
#include "XlsWriter.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <vector>

namespace {

//! A result's rows as sheet cells: texts of date and time columns become dates and times.
class ResultTable : public XlsTable {
public:
    explicit ResultTable(const ResultSet &rows)
        : m_rows(rows) {
        for (const ResultColumn &c : rows.columns) {
            const ColumnInfo *info = c.table.isEmpty() ? nullptr : Schema::column(c.table, c.originName);
            m_kinds.append(info ? info->kind : ColumnKind::Text);
        }
    }
    int rowCount() const override { return m_rows.rowCount(); }
    int columnCount() const override { return m_rows.columnCount(); }
    QString columnName(int column) const override { return m_rows.columns.at(column).name; }
    QVariant value(int row, int column) const override {
        const QVariant v = m_rows.value(row, column);
        if (v.typeId() != QMetaType::QString) return v;
        switch (m_kinds.at(column)) {
        case ColumnKind::Date: {
            const QDate d = QDate::fromString(v.toString(), Qt::ISODate);
            return d.isValid() ? QVariant(d) : v;
        }
        case ColumnKind::Time: {
            const QTime t = QTime::fromString(v.toString(), QStringLiteral("HH:mm"));
            return t.isValid() ? QVariant(t) : v;
        }
        default:
            return v;
        }
    }

private:
    const ResultSet &m_rows;
    QVector<ColumnKind> m_kinds;
};

} // namespace

namespace SpreadsheetExport {

std::optional<Target> recognise(const QString &text) {
    // The path is everything between the quotes before the driver string, quotes included.
    static const QRegularExpression shape(
        QStringLiteral(
            "^\\s*SELECT\\s+(.+?)\\s+INTO\\s+\\[?(\\w+)\\]?\\s+IN\\s+\"(.*)\"\\s+\"Excel 8\\.0;\"\\s+"
            "(FROM\\s.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = shape.match(text);
    if (!m.hasMatch()) return std::nullopt;
    return Target{m.captured(2), m.captured(3),
                  QStringLiteral("SELECT ") + m.captured(1) + QLatin1Char(' ') + m.captured(4)};
}

void run(Connection &connection, const Target &target, const QVector<Statement::Param> &params,
         const QVector<ExportSheet> &furtherSheets) {
    Statement select;
    select.add(target.select);
    for (const Statement::Param &p : params)
        p.column.isEmpty() ? select.bind(p.value) : select.bindFor(p.column, p.value);
    const ResultSet rows = connection.select(select);
    // The statement's own sheet first, as the engine's export always wrote it.
    std::vector<ResultTable> tables;
    tables.reserve(size_t(furtherSheets.size()) + 1);
    QVector<XlsSheet> sheets{{target.sheet, &tables.emplace_back(rows)}};
    for (const ExportSheet &further : furtherSheets)
        sheets.append({further.name, &tables.emplace_back(further.rows)});
    try {
        XlsWriter::write(target.path, sheets);
    } catch (const FileError &e) {
        throw DbError(e.message());
    }
}

} // namespace SpreadsheetExport
