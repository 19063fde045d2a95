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
    if (::stat(nativePath(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

// A link is looked at, not followed: what is written replaces the link.
std::optional<struct stat> linkStatOf(const QString& path)
{
    struct stat info
    {};
    if (::lstat(nativePath(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info;
}

bool isContinuation(char byte)
{
    return (uchar(byte) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
qsizetype sequenceLength(QByteArrayView bytes)
{
    const uchar lead = uchar(bytes.front());
    const qsizetype length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
    if (length == 0 || length > bytes.size() ||
        !std::all_of(bytes.begin() + 1, bytes.begin() + length, isContinuation)) {
        return 0;
    }
    return QUtf8StringView(bytes.first(length)).isValidUtf8() ? length : 0;
}

constexpr char16_t EscapeBase = 0xDC00;

bool isEscapedByte(const QString& text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF &&
           (i == 0 || !text[i - 1].isHighSurrogate());
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

QString nameFromNative(const QByteArray& bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8()) {
        return QString::fromUtf8(bytes);
    }
    QString name;
    for (QByteArrayView rest(bytes); !rest.isEmpty();) {
        const qsizetype length = sequenceLength(rest);
        if (length > 0) {
            name += QString::fromUtf8(rest.first(length));
            rest = rest.sliced(length);
        } else {
            name += QChar(char16_t(EscapeBase + uchar(rest.front())));
            rest = rest.sliced(1);
        }
    }
    return name;
}

QByteArray nativePath(const QString& path)
{
    qsizetype from = 0;
    QByteArray bytes;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isEscapedByte(path, i)) {
            bytes += QStringView(path).sliced(from, i - from).toUtf8();
            bytes += char(path[i].unicode() - EscapeBase);
            from = i + 1;
        }
    }
    return from == 0 ? path.toUtf8() : bytes + QStringView(path).sliced(from).toUtf8();
}

FileContents readFile(const QString& path)
{
    // Without blocking: a FIFO put in a contact's place must not hang the run.
    const FileDescriptor fd(
        ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info
    {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        raiseSystemError(errno, QStringLiteral("read"), path);
    }
    if (!S_ISREG(info.st_mode)) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Cannot read %1: it is not a regular file").arg(path));
    }
    // Checked before any room is taken, and no more than this is ever read.
    if (info.st_size > MaxContactFileBytes) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Cannot read %1: the file is larger than %2 bytes")
                  .arg(path)
                  .arg(MaxContactFileBytes));
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
    return nativePath(name);
}

enum class Target
{
    Create,
    Replace
};

int createTemporary(const QString& path, Target target, QByteArray& temporaryName)
{
    // A rewritten file keeps its permissions; a new one gets the usual ones.
    // A link or anything else that is no regular file is replaced as if new,
    // so that nothing is written where the link leads.
    const std::optional<struct stat> found =
        target == Target::Replace ? linkStatOf(path) : std::optional<struct stat>();
    const bool old = found.has_value() && S_ISREG(found->st_mode);
    const mode_t oldMode = old ? found.value().st_mode : 0;
    // The rename would replace a read-only file; the permission bits are
    // asked too, as root may write any file.
    const QByteArray name = nativePath(path);
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
    if (written && moveInto(temporaryName, nativePath(path), target)) {
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
    std::filesystem::directory_iterator it(nativePath(path).toStdString(), error);
    if (error) {
        raiseSystemError(error.value(), QStringLiteral("list"), path);
    }
    QStringList names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        const bool isDirectory = it->is_directory(error);
        if (isDirectory == directories && (directories || it->is_regular_file(error))) {
            names += nameFromNative(QByteArray::fromStdString(it->path().filename()));
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
    const bool made = std::filesystem::create_directories(nativePath(path).toStdString(), error);
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
        FileDescriptor fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
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
