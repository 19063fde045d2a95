#include "FileIo.h"

#include "Object.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace contacts {

namespace {

QByteArray hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

qint64 modifiedNs(const struct stat& info)
{
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

std::optional<struct stat> statOf(const QString& path)
{
    struct stat info
    {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

FileContents readFile(const QString& path)
{
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    struct stat info
    {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        raiseSystemError(errno, QStringLiteral("read"), path);
    }
    FileContents contents;
    contents.bytes.resize(qsizetype(info.st_size));
    qsizetype done = 0;
    while (done < contents.bytes.size()) {
        const ssize_t got =
            ::read(fd.get(), contents.bytes.data() + done, size_t(contents.bytes.size() - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            raiseSystemError(errno, QStringLiteral("read"), path);
        }
        if (got == 0) {
            contents.bytes.truncate(done);
            break;
        }
        done += got;
    }
    contents.stamp = {contents.bytes.size(), modifiedNs(info), hashOf(contents.bytes)};
    return contents;
}

FileStamp writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const int error = errno;
        if (error == EACCES || error == EPERM) {
            raiseSystemError(error, QStringLiteral("write"), path);
        }
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    }
    const std::optional<struct stat> info = statOf(path);
    return {bytes.size(), info ? modifiedNs(*info) : 0, hashOf(bytes)};
}

bool isUnchangedOnDisk(const QString& path, const FileStamp& stamp)
{
    const std::optional<struct stat> info = statOf(path);
    if (!info || info->st_size != stamp.size || modifiedNs(*info) != stamp.modifiedNs) {
        return false;
    }
    // Size and time can match across a quick rewrite; the content settles it.
    return readFile(path).stamp.hash == stamp.hash;
}

QStringList listDirectory(const QString& path, bool directories)
{
    std::error_code error;
    std::filesystem::directory_iterator it(QFile::encodeName(path).toStdString(), error);
    if (error) {
        raiseSystemError(error.value(), QStringLiteral("list"), path);
    }
    QStringList names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        const bool isDirectory = it->is_directory(error);
        if (isDirectory == directories && (directories || it->is_regular_file(error))) {
            names += QFile::decodeName(QByteArray::fromStdString(it->path().filename()));
        }
    }
    if (error) {
        raiseSystemError(error.value(), QStringLiteral("list"), path);
    }
    names.sort();
    return names;
}

void makeDirectory(const QString& path)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    if (error) {
        raiseSystemError(error.value(), QStringLiteral("create the folder"), path);
    }
}

} // namespace contacts
