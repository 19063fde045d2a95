#include "RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brindle {

namespace {

bool refuse(int fd, QString* problem, const QString& text)
{
    if (fd >= 0) {
        ::close(fd);
    }
    *problem = text;
    return false;
}

} // namespace

bool openRegularFile(QFile& file, const QString& path, QString* problem)
{
    // Non-blocking, so opening a FIFO without a writer returns at once.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return refuse(fd, problem,
                      QStringLiteral("cannot read %1: %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        return refuse(fd, problem, QStringLiteral("cannot read %1").arg(path));
    }
    if (S_ISDIR(status.st_mode)) {
        return refuse(fd, problem, QStringLiteral("%1 is a folder, not a file").arg(path));
    }
    if (!S_ISREG(status.st_mode)) {
        return refuse(fd, problem, QStringLiteral("%1 is not a regular file").arg(path));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return refuse(fd, problem, QStringLiteral("cannot read %1").arg(path));
    }
    return true;
}

} // namespace brindle
