#pragma once

#include "LocaleFormats.h"
#include "Statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

struct sqlite3;

//! One result column as the engine describes it.
struct ResultColumn {
    QString name;       //!< name in the result (alias or column name)
    QString table;      //!< table it comes from; empty for expressions
    QString originName; //!< column name in that table; empty for expressions
};

//! All rows of a row-returning statement, fetched at once (a static snapshot).
//! Cells are kept compactly (texts in one shared buffer), so reading a value builds it:
//! use value(row, column); rows appended later (posted edits) go at the end.
struct ResultSet {
    QVector<ResultColumn> columns;

    int rowCount() const { return m_rows; }
    int columnCount() const { return int(columns.size()); }
    //! The value of a cell: qint64, double, QString or QByteArray; null for an empty value.
    QVariant value(int row, int column) const;
    bool isNull(int row, int column) const;
    //! Appends a row (values in column order); returns its row number.
    int appendRow(const QVector<QVariant> &values);
    //! Keys of the rows (the table's rowid) when the statement was fetched keyed.
    std::vector<qint64> keys;
    //! The table the keys belong to; empty when the rows carry no key.
    QString keyTable;
    bool keyed() const { return !keyTable.isEmpty(); }

    // Storage, for the engine's fetch loop.
    enum class Kind : quint8 { Null, Integer, Real, Text, Blob };
    struct TextRef {
        quint32 offset;
        quint32 length;
    };
    struct Cell {
        union {
            qint64 integer;
            double real;
            TextRef text;
        };
        Kind kind;
    };
    std::vector<Cell> m_cells;    // row-major
    std::vector<char16_t> m_text; // all texts, back to back
    QVector<QByteArray> m_blobs;
    int m_rows = 0;

    void appendText(Cell &cell, const char16_t *data, qsizetype length);
    //! Decodes UTF-8 straight into the text buffer (the engine stores UTF-8).
    void appendUtf8(Cell &cell, const unsigned char *data, qsizetype bytes);
};

//! The one connection to the shared database file. Every failure throws DbError with the
//! engine's message. Statements run on it one at a time; writes each in a short
//! BEGIN IMMEDIATE transaction, waiting out other copies' locks up to the busy timeout.
//!
//! How ADOConnection1's settings map onto this engine:
//! | Setting                          | Here                                                        |
//! |----------------------------------|-------------------------------------------------------------|
//! | Provider                         | SQLite 3 through Qt's QSQLITE driver, rows read on its handle |
//! | Data Source "kelvaro.mdb"        | databaseFile(); a bare name is relative to the working dir  |
//! | Mode Share Deny None             | shared file, rollback journal, busy timeout, short writes   |
//! | Database Locking Mode 1 (row)    | one writer at a time per file; BEGIN IMMEDIATE per write     |
//! | User ID Admin, no password       | no user or password (SQLite has none)                       |
//! | Login prompt none                | nothing asked                                               |
//! | Engine Type 5, Create System DB  | never creates the file (opened with mode=rw, never create)  |
//! | Bulk ops / Bulk transactions     | each statement its own transaction                          |
//! | Encrypt, Compact, SFP, Registry  | not applicable                                              |
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    //! File name of the database; a bare name is looked up in the working directory.
    void setDatabaseFile(const QString &path) { m_file = path; }
    QString databaseFile() const { return m_file; }
    //! How long a writer waits for another copy's lock before it fails.
    void setBusyTimeoutMs(int ms);
    int busyTimeoutMs() const { return m_busyTimeoutMs; }
    void setLocaleFormats(const LocaleFormats &formats) { m_formats = formats; }
    const LocaleFormats &localeFormats() const { return m_formats; }

    //! Opens the existing file read-write (read-only if the file is); never creates it.
    //! Refuses a file that is not a database or lacks this program's tables.
    void open();
    void close();
    bool isOpen() const;
    //! The file was opened read-only.
    bool isReadOnly() const { return m_readOnly; }
    //! Opens read-only even when the file could be written (for checks and tools).
    void setForceReadOnly(bool on) { m_forceReadOnly = on; }

    //! Runs a row-returning statement and fetches every row; no read stays open afterwards.
    ResultSet select(const Statement &statement);
    //! Like select(); when the statement reads plain columns of one table (no join, grouping,
    //! aggregate or DISTINCT) the rows also carry the table's key (ResultSet::keys/keyTable).
    ResultSet selectKeyed(const Statement &statement);
    //! Runs a statement that returns no rows in its own transaction; returns rows changed.
    //! `SELECT ... INTO <sheet> IN "<path>" "Excel 8.0;" FROM ...` writes the selected rows
    //! to a new spreadsheet file (SpreadsheetExport) and returns 0.
    int execute(const Statement &statement);
    //! Key of the row last inserted on this connection.
    qint64 lastInsertId() const;

    //! The value a bound text becomes in `column` (any table's column name); throws DbError.
    QVariant convertFor(const QString &column, const QVariant &value) const;

    //! For the data layer and tools: the Qt connection (its name is unique per Connection).
    QSqlDatabase database() const;
    //! The engine's handle while open, else null.
    sqlite3 *handle() const { return m_handle; }

private:
    ResultSet run(const QString &text, const QVector<Statement::Param> &params, bool keyed);
    void requireOpen() const;
    QVector<QVariant> convertParams(const QVector<Statement::Param> &params) const;

    QString m_file = QStringLiteral("kelvaro.mdb");
    QString m_name;
    int m_busyTimeoutMs = 10000;
    LocaleFormats m_formats;
    sqlite3 *m_handle = nullptr;
    bool m_readOnly = false;
    bool m_forceReadOnly = false;
    qint64 m_lastInsertId = 0;
};
