#include "FileIo.h"

#include "Errors.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace contacts {

namespace {

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
    // Closes now, to learn whether the data reached the file system.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

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
    contents.stamp = {contents.bytes.size(), modifiedNs(info)};
    return contents;
}

namespace {

// Beside the target, so that the rename stays within one file system; hidden
// and not ending in .vcf, so that no listing takes it for an item.
QByteArray temporaryNameFor(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.left(slash + 1) + u'.' + path.sliced(slash + 1) + u'.' +
                         QString::number(QRandomGenerator::global()->generate64(), 36) +
                         QStringLiteral(".tmp");
    return QFile::encodeName(name);
}

enum class Target
{
    Create,
    Replace
};

int createTemporary(const QString& path, Target target, QByteArray& temporaryName)
{
    // A rewritten file keeps its permissions; a new one gets the usual ones.
    const std::optional<struct stat> found =
        target == Target::Replace ? statOf(path) : std::optional<struct stat>();
    const bool old = found.has_value();
    const mode_t oldMode = old ? found.value().st_mode : 0;
    // The rename would replace a read-only file; the permission bits are
    // asked too, as root may write any file.
    const QByteArray name = QFile::encodeName(path);
    if (old && ::access(name.constData(), W_OK) != 0) {
        return -1;
    }
    if (old && (oldMode & 0222) == 0) {
        errno = EACCES;
        return -1;
    }
    const mode_t mode = old ? oldMode & 07777 : 0666;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporaryName = temporaryNameFor(path);
        const int fd =
            ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 && old && ::fchmod(fd, mode) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporaryName.constData());
            errno = error;
            return -1;
        }
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            return false;
        }
        done += put;
    }
    return true;
}

bool moveInto(const QByteArray& from, const QByteArray& to, Target target)
{
    if (target == Target::Replace) {
        return ::rename(from.constData(), to.constData()) == 0;
    }
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system that cannot refuse in the rename itself: look first.
    if (::access(to.constData(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

// No sync here: one per Save would cost far more than the Save itself, and
// the rename alone keeps readers from ever seeing half a file. SyncList
// makes what was written durable, all at once.
std::optional<FileStamp> writeThroughTemporary(const QString& path, const QByteArray& bytes,
                                               Target target)
{
    QByteArray temporaryName;
    FileDescriptor fd(createTemporary(path, target, temporaryName));
    if (fd.get() < 0) {
        raiseSystemError(errno, QStringLiteral("write"), path);
    }
    struct stat info
    {};
    const bool written = writeAll(fd.get(), bytes) && ::fstat(fd.get(), &info) == 0 && fd.close();
    if (written && moveInto(temporaryName, QFile::encodeName(path), target)) {
        return FileStamp{bytes.size(), modifiedNs(info)};
    }
    const int error = errno;
    ::unlink(temporaryName.constData());
    if (written && target == Target::Create && error == EEXIST) {
        return std::nullopt;
    }
    raiseSystemError(error, QStringLiteral("write"), path);
}

} // namespace

FileStamp writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return *writeThroughTemporary(path, bytes, Target::Replace);
}

std::optional<FileStamp> createFileAtomically(const QString& path, const QByteArray& bytes)
{
    return writeThroughTemporary(path, bytes, Target::Create);
}

// BLAKE2b: as strong as SHA-256 and several times faster without hardware help.
ContentDigest digestOf(const QByteArray& bytes)
{
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256);
    ContentDigest digest;
    std::copy_n(hash.constData(), digest.size(), digest.begin());
    return digest;
}

bool isUnchangedOnDisk(const QString& path, const FileStamp& stamp, const ContentDigest& digest)
{
    const std::optional<struct stat> info = statOf(path);
    if (!info || info->st_size != stamp.size || modifiedNs(*info) != stamp.modifiedNs) {
        return false;
    }
    // Size and time can match across a quick rewrite; the content settles it.
    return digestOf(readFile(path).bytes) == digest;
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

bool makeDirectory(const QString& path)
{
    std::error_code error;
    const bool made =
        std::filesystem::create_directories(QFile::encodeName(path).toStdString(), error);
    if (error) {
        raiseSystemError(error.value(), QStringLiteral("create the folder"), path);
    }
    return made;
}

QStringList SyncList::paths() const
{
    QSet<QString> all = m_paths;
    for (const QString& path : m_paths) {
        all.insert(path.left(std::max<qsizetype>(path.lastIndexOf(u'/'), 1)));
    }
    QStringList list(all.cbegin(), all.cend());
    list.sort();
    return list;
}

QStringList SyncList::flush()
{
    const QStringList list = paths();
    QSet<dev_t> synced;
    for (const QString& path : list) {
        // A file deleted since it was written leaves its directory to sync.
        FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0 && errno == ENOENT) {
            continue;
        }
        struct stat info
        {};
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
            raiseSystemError(errno, QStringLiteral("flush"), path);
        }
        if (!synced.contains(info.st_dev)) {
            if (::syncfs(fd.get()) != 0) {
                raiseSystemError(errno, QStringLiteral("flush"), path);
            }
            synced.insert(info.st_dev);
        }
    }
    m_paths.clear();
    return list;
}

} // namespace contacts
