#pragma once

#include "Connection.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <memory>

//! The engines a data test can run on.
enum class EngineKind { Sqlite, Postgres };

//! A fresh database with the schema, and a connection to it: a file in a temporary folder, or
//! the test program's own database on its private PostgreSQL cluster, emptied and made anew.
class TestDatabase {
public:
    explicit TestDatabase(EngineKind engine = EngineKind::Sqlite);
    //! The database string: the file's path, or the server database's URL.
    QString path() const { return m_path; }
    EngineKind engine() const { return m_engine; }
    QString dir() const { return m_dir.path(); }
    Connection &connection() { return *m_connection; }
    //! Another connection to the same file, opened.
    std::unique_ptr<Connection> openAnother() const;
    //! Runs one statement with bound values on the test connection.
    int exec(const QString &sql, const QVariantList &values = {});
    //! First column of the first row of a select, as a variant.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    //! Adds a menu item; returns its key.
    qint64 addMenu(const QString &shop, const QString &type, const QString &name, const QString &cap,
                   int price);
    //! Adds an order line; returns its key.
    qint64 addOrderLine(const QString &name, const QString &cap, int price, const QString &shop,
                        const QString &note, const QString &customer, const QDate &date, const QTime &time);

private:
    QTemporaryDir m_dir;
    EngineKind m_engine;
    QString m_path;
    std::unique_ptr<Connection> m_connection;
};
