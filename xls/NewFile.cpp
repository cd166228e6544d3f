#include "NewFile.h"

#include "FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

QString shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void exists(const QString &path) {
    throw FileError(QStringLiteral("The file '%1' already exists; it was left as it is.").arg(shown(path)));
}

[[noreturn]] void notWritten(const QString &path, int error) {
    throw FileError(QStringLiteral("Cannot write the file '%1': %2. Nothing was written.")
                        .arg(shown(path), systemMessage(error)));
}

//! Waits until what was written to `path` (a file or a folder) is on the disk; errno, or 0.
int sync(const QString &path, int flags) {
    const int fd = ::open(native(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

//! Gives `from` the name `to` unless that name is taken; errno on failure, else 0.
int publish(const QByteArray &from, const QByteArray &to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    // File systems without the no-replace rename (NFS) still refuse to link onto a taken name.
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return error;
    return ::link(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

NewFile::NewFile(const QString &target)
    : m_target(QFileInfo(target).absoluteFilePath()) {
    refuseExisting(m_target);
    const QFileInfo info(m_target);
    QByteArray folder =
        native(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!::mkdtemp(folder.data()))
        throw FileError(QStringLiteral("Cannot create a file in the folder '%1': %2.")
                            .arg(shown(info.absolutePath()), systemMessage(errno)));
    m_folder = QFile::decodeName(folder);
    m_path = m_folder + QLatin1Char('/') + info.fileName();
}

NewFile::~NewFile() {
    if (!m_folder.isEmpty()) QDir(m_folder).removeRecursively();
}

void NewFile::write(const QByteArray &bytes) {
    const int fd = ::open(native(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) notWritten(m_target, errno);
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            notWritten(m_target, error);
        }
        p += n;
        left -= n;
    }
    if (::close(fd) != 0) notWritten(m_target, errno);
}

void NewFile::commit() {
    if (const int error = sync(m_path, O_RDONLY)) notWritten(m_target, error);
    if (const int error = publish(native(m_path), native(m_target))) {
        if (error == EEXIST) exists(m_target);
        notWritten(m_target, error);
    }
    // The new name reaches the disk with its folder.
    sync(QFileInfo(m_target).absolutePath(), O_RDONLY | O_DIRECTORY);
    QDir(m_folder).removeRecursively();
    m_folder.clear();
}

void NewFile::write(const QString &target, const QByteArray &bytes) {
    NewFile file(target);
    file.write(bytes);
    file.commit();
}

void NewFile::refuseExisting(const QString &target) {
    struct stat st;
    if (::lstat(native(target).constData(), &st) == 0) exists(target);
}

QString NewFile::datedIn(const QString &folder, const QString &base, const QString &suffix,
                         const QDate &day) {
    const QDir dir(folder);
    const QString stem = base + QLatin1Char('-') + day.toString(Qt::ISODate);
    QString name = stem + QLatin1Char('.') + suffix;
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = stem + QStringLiteral("-%1.").arg(n) + suffix;
    return dir.filePath(name);
}
