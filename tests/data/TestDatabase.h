#pragma once

#include "Connection.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <memory>

//! A fresh database file with the schema in a temporary folder, and a connection to it.
class TestDatabase {
public:
    TestDatabase();
    QString path() const { return m_path; }
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
    QString m_path;
    std::unique_ptr<Connection> m_connection;
};
