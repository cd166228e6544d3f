#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

struct ColumnInfo;
struct TableInfo;

struct pg_conn;
typedef struct pg_conn PGconn;

//! Where result columns come from, as the server names them by number: our tables' oids and
//! their columns' numbers, read once when a connection opens.
struct PostgresCatalog {
    QHash<unsigned int, QString> tables; //!< table oid -> table name
    QHash<quint64, QString> columns;     //!< (table oid << 16 | column number) -> column name
    QString table(unsigned int oid) const { return tables.value(oid); }
    QString column(unsigned int oid, int number) const {
        return columns.value((quint64(oid) << 16) | quint64(quint16(number)));
    }
};

//! This program's schema on a PostgreSQL server: the same tables and columns as the database
//! file, with identity keys that only grow, named CHECKs for text sizes (so a refusal names its
//! column), `date` and `time(0)` columns, and text compared through the ICU collation `ktext`
//! (letter case and width ignored) on every text column, account names unique under it.
//! The schema's version is the one row of the table `kelvaro_schema`; a database without that
//! table is of version 1 (made by release 1.0.6).
class PostgresSchema {
public:
    //! Statements that make the schema of version 1, in order.
    static QStringList createStatements();
    //! CREATE TABLE for `table`, with the size and date checks of its columns.
    static QString createTableStatement(const TableInfo &table);
    //! ALTER TABLE ... ADD COLUMN for `column`.
    static QString addColumnStatement(const ColumnInfo &column);
    //! Makes the schema of version 1 in the open, empty database, within the transaction the
    //! caller opened; throws DbError (the caller's rollback then leaves the database as it was).
    static void create(PGconn *connection);
    //! The version the database records; throws DbError.
    static int recordedVersion(PGconn *connection);
    //! Records `version`, within the transaction the caller opened; throws DbError.
    static void recordVersion(PGconn *connection, int version);
    //! What is wrong with the schema of `version`: tables, columns, types, keys, size CHECKs,
    //! the collation and the unique account rule. Fills `catalog` for the tables found.
    static QStringList verify(PGconn *connection, PostgresCatalog *catalog, int version);
};
