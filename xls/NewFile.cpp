#include "NewFile.h"

#include "XlsError.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
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

[[noreturn]] void exists(const QString &path) {
    throw XlsError(QStringLiteral("The file '%1' already exists; it was left as it is.")
                       .arg(QDir::toNativeSeparators(path)));
}

//! The temporary file until it takes its name; removed when it did not.
class TemporaryFile {
public:
    explicit TemporaryFile(const QString &folder, const QString &name) {
        m_path = native(folder + QStringLiteral("/.") + name + QStringLiteral(".XXXXXX"));
        m_fd = mkostemp(m_path.data(), O_CLOEXEC);
        if (m_fd < 0)
            throw XlsError(QStringLiteral("Cannot create a file in the folder '%1': %2.")
                               .arg(QDir::toNativeSeparators(folder), systemMessage(errno)));
        // The usual permissions of a new file (mkostemp makes it private to its owner).
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(m_fd, 0666 & ~mask);
    }
    ~TemporaryFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_path.isEmpty()) ::unlink(m_path.constData());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    //! Writes every byte and waits until they are on the disk; errno on failure, else 0.
    int fill(const QByteArray &bytes) {
        const char *p = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(m_fd, p, size_t(left));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno;
            if (n == 0) return ENOSPC;
            p += n;
            left -= n;
        }
        if (::fsync(m_fd) != 0) return errno;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

    //! Gives the file the name `target` unless that name is taken; errno on failure, else 0.
    int publish(const QByteArray &target) {
        int error = 0;
        if (::renameat2(AT_FDCWD, m_path.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
            m_path.clear();
            return 0;
        }
        error = errno;
        // File systems without the no-replace rename still refuse to link onto an existing name.
        if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
            if (::link(m_path.constData(), target.constData()) == 0) return 0; // the destructor unlinks
            error = errno;
        }
        return error;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

} // namespace

void NewFile::refuseExisting(const QString &path) {
    struct stat st;
    if (::lstat(native(path).constData(), &st) == 0) exists(path);
}

void NewFile::write(const QString &path, const QByteArray &bytes) {
    refuseExisting(path);
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    TemporaryFile temporary(folder, info.fileName());
    if (const int error = temporary.fill(bytes))
        throw XlsError(QStringLiteral("Cannot write the file '%1': %2. Nothing was written.")
                           .arg(QDir::toNativeSeparators(info.absoluteFilePath()), systemMessage(error)));
    if (const int error = temporary.publish(native(info.absoluteFilePath()))) {
        if (error == EEXIST) exists(path);
        throw XlsError(QStringLiteral("Cannot write the file '%1': %2. Nothing was written.")
                           .arg(QDir::toNativeSeparators(info.absoluteFilePath()), systemMessage(error)));
    }
    // The new name itself reaches the disk with its folder.
    const int dir = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
