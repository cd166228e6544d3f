#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct sqlite3;

//! Kind of value a schema column stores.
enum class ColumnKind { Key, Integer, Text, Date, Time };

//! One column of this program's tables.
struct ColumnInfo {
    QString table;
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 0; //!< maximum characters of a text column
};

//! One table of this program's schema, its columns in table order.
struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns;
};

//! The three tables of the database file: their columns, and the statements that make them.
//! Column names are unique across the tables (each carries its table's prefix), so a column
//! is found by its name alone.
class Schema {
public:
    static const QVector<TableInfo> &tables();
    //! The column named `name` (case-insensitive) in any table; null when there is none.
    static const ColumnInfo *column(const QString &name);
    //! The column `name` of `table`; null when there is none.
    static const ColumnInfo *column(const QString &table, const QString &name);
    static const TableInfo *table(const QString &name);
    //! The key column of `table` (its first column), which post and delete find rows by.
    static QString keyColumn(const QString &table);
    //! CREATE TABLE and CREATE INDEX statements, in order. They name built-in collations only,
    //! so standard SQLite tools can read and write the file.
    static QStringList createStatements();
    //! What is wrong with the schema of an open database: missing tables or columns, a column
    //! of another type, customer's columns out of order. Empty when it is ours. Throws DbError
    //! with the engine's message and extended code when the engine cannot read the schema.
    static QStringList verify(sqlite3 *handle);
    //! Text and time columns whose checks a NUL character can get past: files made by earlier
    //! versions, which still open and work. Throws DbError when the engine cannot read the schema.
    static QStringList checksBlindToNul(sqlite3 *handle);
    //! Makes a new database file with the schema; refuses to touch an existing file.
    //! Throws DbError.
    static void createDatabase(const QString &path);
};
