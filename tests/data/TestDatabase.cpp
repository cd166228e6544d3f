#include "TestDatabase.h"

#include "Engine.h"
#include "PostgresCluster.h"

TestDatabase::TestDatabase(EngineKind engine)
    : m_engine(engine)
    , m_path(m_dir.filePath(QStringLiteral("kelvaro.mdb")))
    , m_connection(std::make_unique<Connection>()) {
    if (engine == EngineKind::Postgres) {
        PostgresCluster &cluster = PostgresCluster::instance();
        m_path = cluster.databaseUrl();
        cluster.emptyDatabase();
    }
    Engine::createDatabase(m_path);
    m_connection->setDatabaseFile(m_path);
    m_connection->open();
}

std::unique_ptr<Connection> TestDatabase::openAnother() const {
    auto c = std::make_unique<Connection>();
    c->setDatabaseFile(m_path);
    c->setLocaleFormats(m_connection->localeFormats());
    c->open();
    return c;
}

int TestDatabase::exec(const QString &sql, const QVariantList &values) {
    Statement st;
    st.add(sql);
    for (const QVariant &v : values)
        st.bind(v);
    return m_connection->execute(st);
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &values) {
    Statement st;
    st.add(sql);
    for (const QVariant &v : values)
        st.bind(v);
    const ResultSet rs = m_connection->select(st);
    return rs.rowCount() > 0 ? rs.value(0, 0) : QVariant();
}

qint64 TestDatabase::addMenu(const QString &shop, const QString &type, const QString &name,
                             const QString &cap, int price) {
    exec(
        QStringLiteral(
            "INSERT INTO menu (men_merchant, men_type, men_name, men_cap, men_price) VALUES (?, ?, ?, ?, ?)"),
        {shop, type, name, cap, price});
    return m_connection->lastInsertId();
}

qint64 TestDatabase::addOrderLine(const QString &name, const QString &cap, int price, const QString &shop,
                                  const QString &note, const QString &customer, const QDate &date,
                                  const QTime &time) {
    exec(QStringLiteral("INSERT INTO ordern (ord_name, ord_cap, ord_pric, ord_mer, ord_note, ord_cusomter, "
                        "ord_date, ord_time) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
         {name, cap, price, shop, note, customer, date, time});
    return m_connection->lastInsertId();
}
