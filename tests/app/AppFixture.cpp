#include "AppFixture.h"

#include "PageControl.h"
#include "Schema.h"
#include "TForm1.h"
#include "TestDatabase.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTabBar>
#include <QTest>
#include <QUuid>

AppFixture::AppFixture(bool createDatabase)
    : m_previousDir(QDir::currentPath()) {
    QDir::setCurrent(m_dir.path());
    if (onServer()) {
        if (!createDatabase) qFatal("a test of a missing database file runs on the file only");
        m_server = std::make_unique<TestDatabase>(EngineKind::Postgres);
    } else if (createDatabase) {
        Schema::createDatabase(databasePath());
    }
}

bool AppFixture::onServer() {
    return qgetenv("KELVARO_TEST_ENGINE") == "postgresql";
}

AppFixture::~AppFixture() {
    m_window = nullptr;
    m_form.reset();
    m_server.reset();
    if (!m_connectionName.isEmpty()) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    QDir::setCurrent(m_previousDir);
}

QString AppFixture::databasePath() const {
    return m_server ? m_server->path() : m_dir.filePath(QStringLiteral("kelvaro.mdb"));
}

static QSqlQuery run(const QString &connection, const QString &path, const QString &sql,
                     const QVariantList &values) {
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isValid()) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
    }
    if (!db.isOpen() && !db.open())
        qFatal("cannot open the test database: %s", qPrintable(db.lastError().text()));
    QSqlQuery q(db);
    if (!q.prepare(sql)) qFatal("cannot prepare %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec()) qFatal("cannot run %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q;
}

//! The statement with its values bound, for the checking connection on the server.
static Statement statement(const QString &sql, const QVariantList &values) {
    Statement st;
    st.add(sql);
    for (const QVariant &v : values)
        st.bind(v);
    return st;
}

void AppFixture::exec(const QString &sql, const QVariantList &values) {
    if (m_server) {
        m_server->connection().execute(statement(sql, values));
        return;
    }
    if (m_connectionName.isEmpty()) m_connectionName = QUuid::createUuid().toString();
    run(m_connectionName, databasePath(), sql, values);
}

QList<QVariantList> AppFixture::rows(const QString &sql, const QVariantList &values) {
    QList<QVariantList> out;
    if (m_server) {
        const ResultSet rs = m_server->connection().select(statement(sql, values));
        for (int r = 0; r < rs.rowCount(); ++r) {
            QVariantList row;
            for (int c = 0; c < rs.columnCount(); ++c)
                row.append(rs.value(r, c));
            out.append(row);
        }
        return out;
    }
    if (m_connectionName.isEmpty()) m_connectionName = QUuid::createUuid().toString();
    QSqlQuery q = run(m_connectionName, databasePath(), sql, values);
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row.append(q.value(i));
        out.append(row);
    }
    return out;
}

int AppFixture::count(const QString &table) {
    return rows(QStringLiteral("select count(*) from ") + table).value(0).value(0).toInt();
}

void AppFixture::addCustomer(const QString &number, const QString &password, const QString &name,
                             const QVariant &level, const QString &group) {
    exec(QStringLiteral("insert into customer (cus_number, cus_name, cus_password, cus_group, cus_leve) "
                        "values (?, ?, ?, ?, ?)"),
         {number, name, password, group, level});
}

void AppFixture::addMenu(const QString &shop, const QString &type, const QString &name, int price) {
    exec(QStringLiteral("insert into menu (men_merchant, men_type, men_name, men_cap, men_price) "
                        "values (?, ?, ?, ?, ?)"),
         {shop, type, name, QStringLiteral("中"), price});
}

TForm1 &AppFixture::openForm(const StartOptions &options) {
    StartOptions chosen = options;
    if (m_server && chosen.databaseFile == StartOptions().databaseFile) chosen.databaseFile = databasePath();
    m_form = std::make_unique<TForm1>(chosen);
    m_window = m_form.get();
    m_form->show();
    if (!QTest::qWaitForWindowExposed(m_form.get())) qWarning("the window was not exposed");
    m_form->activateWindow();
    return *m_form;
}

void AppFixture::typeInto(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            // Chinese text arrives from an input method as committed strings.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(edit, &commit);
        }
    }
}

void AppFixture::click(const QString &buttonName) {
    auto *button = find<QPushButton>(buttonName);
    if (!button) qFatal("no button %s", qPrintable(buttonName));
    QTest::mouseClick(button, Qt::LeftButton);
}

void AppFixture::signIn(const QString &account, const QString &password) {
    typeInto(find<QLineEdit>(QStringLiteral("Edit1")), account);
    typeInto(find<QLineEdit>(QStringLiteral("Edit2")), password);
    click(QStringLiteral("BitBtn1"));
}

void AppFixture::clickTab(int position) {
    PageControl *pages = m_form->pageControl();
    const int index = pages->pageAtTabPosition(position);
    if (index < 0) qFatal("no tab at position %d", position);
    QTabBar *bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

QStringList AppFixture::visibleTabs() const {
    QStringList out;
    PageControl *pages = m_form->pageControl();
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i)) out << pages->widget(i)->objectName();
    return out;
}

QString AppFixture::currentPage() const {
    QWidget *page = m_form->pageControl()->currentWidget();
    return page ? page->objectName() : QString();
}
