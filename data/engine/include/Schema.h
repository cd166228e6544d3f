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
    int size = 0;  //!< maximum characters of a text column
    int since = 1; //!< the schema version that added the column
};

//! One table of this program's schema, its columns in table order.
struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns;
    int since = 1; //!< the schema version that added the table
};

//! The tables of the database: their columns, and the statements that make the first version.
//! Column names are unique across the tables (each carries its table's prefix), so a column
//! is found by its name alone.
//!
//! Every database records the version of its schema (SchemaVersion). Version 1 is the schema of
//! release 1.0.6, whose files record none; each later version is reached by the steps of
//! SchemaSteps, which only add (tables, nullable columns, triggers, indexes), so that copies of
//! the previous release keep working on an upgraded file.
class Schema {
public:
    //! The version of the schema this program reads and writes.
    static constexpr int CurrentVersion = 2;

    //! The tables and columns of the current version.
    static const QVector<TableInfo> &tables();
    //! The tables and columns a database of `version` holds (versions this program knows).
    static QVector<TableInfo> tables(int version);
    //! The column named `name` (case-insensitive) in any table; null when there is none.
    static const ColumnInfo *column(const QString &name);
    //! The column `name` of `table`; null when there is none.
    static const ColumnInfo *column(const QString &table, const QString &name);
    static const TableInfo *table(const QString &name);
    //! The key column of `table` (its first column), which post and delete find rows by.
    static QString keyColumn(const QString &table);
    //! The CREATE TABLE and CREATE INDEX statements of version 1, in order; the steps to later
    //! versions follow them. They name built-in collations only, so standard SQLite tools can
    //! read and write the file.
    static QStringList createStatements();
    //! CREATE TABLE for `table` of a database file, with the size and date checks of its columns.
    static QString createTableStatement(const TableInfo &table);
    //! ALTER TABLE ... ADD COLUMN for `column` of a database file.
    static QString addColumnStatement(const ColumnInfo &column);
    //! What is wrong with the schema of an open database of `version`: missing tables or
    //! columns, a column of another type, customer's columns out of order. Empty when it is
    //! ours. Throws DbError with the engine's message and extended code when the engine cannot
    //! read the schema.
    static QStringList verify(sqlite3 *handle, int version = CurrentVersion);
    //! The schema version the file records (PRAGMA user_version); 1 for a file that records
    //! none. Throws DbError with the engine's message and code when the file cannot be read.
    static int recordedVersion(sqlite3 *handle);
    //! Records `version` in the file (PRAGMA user_version), within the open transaction.
    static void recordVersion(sqlite3 *handle, int version);
    //! Text and time columns whose checks a NUL character can get past: files made by earlier
    //! versions, which still open and work. Throws DbError when the engine cannot read the schema.
    static QStringList checksBlindToNul(sqlite3 *handle);
    //! Makes a new database file with the schema of the current version (the first version and
    //! every step after it, in one transaction); refuses to touch an existing file. Throws
    //! DbError.
    static void createDatabase(const QString &path);
    //! Makes a new database file with the schema of version 1 only (what release 1.0.6 made);
    //! refuses to touch an existing file. Throws DbError.
    static void createFirstVersion(const QString &path);
};
