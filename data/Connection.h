#pragma once

#include "LocaleFormats.h"
#include "Statement.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

//! One result column as the engine describes it.
struct ResultColumn {
    QString name;       //!< name in the result (alias or column name)
    QString table;      //!< table it comes from; empty for expressions
    QString originName; //!< column name in that table; empty for expressions
};

//! All rows of a row-returning statement, fetched at once (a static snapshot).
struct ResultSet {
    QVector<ResultColumn> columns;
    QVector<QVector<QVariant>> rows;
};

//! The one connection to the shared database file. Every failure throws DbError with the
//! engine's message. Statements run on it one at a time; writes each in a short
//! BEGIN IMMEDIATE transaction, waiting out other copies' locks up to the busy timeout.
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
    void setBusyTimeoutMs(int ms) { m_busyTimeoutMs = ms; }
    void setLocaleFormats(const LocaleFormats &formats) { m_formats = formats; }
    const LocaleFormats &localeFormats() const { return m_formats; }

    //! Opens the existing file read-write (read-only if the file is); never creates it.
    //! Refuses a file that is not a database or lacks this program's tables.
    void open();
    void close();
    bool isOpen() const;

    //! Runs a row-returning statement and fetches every row; no read stays open afterwards.
    ResultSet select(const Statement &statement);
    //! Runs a statement that returns no rows in its own transaction; returns rows changed.
    int execute(const Statement &statement);
    //! Key of the row last inserted on this connection.
    qint64 lastInsertId() const;

    //! For the data layer and tools: the Qt connection (its name is unique per Connection).
    QSqlDatabase database() const;

private:
    QString m_file = QStringLiteral("kelvaro.mdb");
    QString m_name;
    int m_busyTimeoutMs = 10000;
    LocaleFormats m_formats;
};
