#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class Connection;
class Dataset;
class QProcess;

//! What the reliability programs share: a database of their own, order lines stored through
//! the program's own statement, the stored lines counted by their tags, the file's soundness,
//! child processes of the same program, and the figures printed at the end.
namespace Stress {

//! A new database file `name` in `dir`, made as kelvaro-admin makes one; returns its path.
QString makeDatabase(const QString &dir, const QString &name = QStringLiteral("kelvaro.mdb"));
//! An open connection to `path`.
std::unique_ptr<Connection> connect(const QString &path, int busyTimeoutMs = -1);
//! The scratch query for inserts on `connection`.
std::unique_ptr<Dataset> insertQuery(Connection &connection);
//! Stores one order line as the add button does, tagged by the ordering user and the note.
void storeLine(Dataset &query, const QString &user, const QString &note);
//! How many stored order lines carry each tag "user/note".
QHash<QString, int> storedTags(Connection &connection);
//! The engine's integrity check: "ok", or what is wrong.
QString integrity(Connection &connection);
//! A digest of every row of every table: equal digests mean equal contents.
QByteArray contents(Connection &connection);

//! Reads a reliability program's command line: each option of `valued` takes a value, each of
//! `flags` none. For --help prints `usage` and sets `exitCode` to 0; for anything else prints
//! what is wrong and the usage to standard error and sets it to 2; returns false in both cases.
bool readOptions(const QStringList &args, const QStringList &valued, const QStringList &flags,
                 const char *usage, QHash<QString, QString> *values, int *exitCode);
//! The run's own folder in the temporary folder (TMPDIR), gone when the run ends, however it
//! ends (Ctrl+C, kill -9): the watcher that removes it once this process is gone starts before
//! the folder is made, so no moment of the run can leave it behind. File systems the run mounts
//! in it (`mountPoints`, names within it) are unmounted first.
class RunFolder {
public:
    explicit RunFolder(const QStringList &mountPoints = {});
    ~RunFolder();
    RunFolder(const RunFolder &) = delete;
    RunFolder &operator=(const RunFolder &) = delete;
    QString path() const { return m_path; }
    QString filePath(const QString &name) const;

private:
    QString m_path;
};

//! Starts this program again with `args` (a child role); stdout is read by the caller.
std::unique_ptr<QProcess> startSelf(const QStringList &args);
//! In a child role: the child ends with the program that started it, however that ends, so an
//! interrupted run leaves no writer behind.
void endWithParent();

//! Writes one line to stdout at once (a child reporting to its parent).
void say(const QString &line);

//! Figures of a run, printed as an aligned table; counts the checks that failed.
class Report {
public:
    explicit Report(const QString &title)
        : m_title(title) {}
    void figure(const QString &name, const QString &value);
    void figure(const QString &name, qint64 value) { figure(name, QString::number(value)); }
    //! Records a check; a false one is printed at once and fails the run.
    bool check(bool ok, const QString &what);
    //! Prints the figures and the verdict; returns the process exit code.
    int finish();

private:
    QString m_title;
    QList<QPair<QString, QString>> m_figures;
    int m_failed = 0;
};

} // namespace Stress
