#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QWidget>
#include <memory>

#include "ScriptedDialogs.h"
#include "StartOptions.h"

class QLineEdit;
class TForm1;
class TestDatabase;

//! One test's world: a fresh kelvaro.mdb in a temporary working directory, scripted dialogs,
//! an independent connection to check what the program stored, and helpers that drive the
//! real widgets. With KELVARO_TEST_ENGINE=postgresql in the environment the database is the
//! test program's own on its private PostgreSQL cluster instead, and the window opens it.
class AppFixture {
public:
    //! With `createDatabase` false the folder holds no database file.
    explicit AppFixture(bool createDatabase = true);
    ~AppFixture();

    //! The pages run on a PostgreSQL server in this run.
    static bool onServer();

    QString dir() const { return m_dir.path(); }
    //! The database string: the file's path, or the server database's URL.
    QString databasePath() const;
    ScriptedDialogs &dialogs() { return m_dialogs; }

    //! Runs a statement on the checking connection; fails the test when it fails.
    void exec(const QString &sql, const QVariantList &values = {});
    //! Every row of a select on the checking connection.
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {});
    int count(const QString &table);
    //! Adds an account directly; `level` null stores an empty level.
    void addCustomer(const QString &number, const QString &password, const QString &name,
                     const QVariant &level = 0, const QString &group = QString());
    void addMenu(const QString &shop, const QString &type, const QString &name, int price = 30);

    //! Builds the main window in the fixture's working directory and shows it.
    TForm1 &openForm(const StartOptions &options = StartOptions());
    TForm1 &form() { return *m_form; }
    //! A named child of the window.
    template <typename T> T *find(const QString &name) const;

    //! Replaces an edit's text by typing: the old text is selected and typed over.
    static void typeInto(QLineEdit *edit, const QString &text);
    //! Clicks a named push button of the window.
    void click(const QString &buttonName);
    //! Types account and password into the sign-in page and presses "登入系統".
    void signIn(const QString &account, const QString &password);
    //! Clicks the tab at `position` among the visible tabs.
    void clickTab(int position);
    //! Object names of the pages whose tabs are visible, in tab order.
    QStringList visibleTabs() const;
    QString currentPage() const;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    QString m_connectionName;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<TForm1> m_form;
    QWidget *m_window = nullptr;
    std::unique_ptr<TestDatabase> m_server;
};

template <typename T> T *AppFixture::find(const QString &name) const {
    return m_window ? m_window->findChild<T *>(name) : nullptr;
}
