#include "WriteLocks.h"

#include "LockFile.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace brindle {

namespace {

// The locks this process holds, by lock file, shared by the runs that take them.
QMutex heldMutex;
QHash<QString, std::weak_ptr<QLockFile>> heldHere;

// The real path, also of a file not made yet: its folder's real path and its name.
QString realPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        return info.canonicalFilePath();
    }
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

QString holderOf(const QLockFile& lock)
{
    qint64 pid = 0;
    QString hostName;
    QString program;
    if (!lock.getLockInfo(&pid, &hostName, &program)) {
        return QStringLiteral("another process");
    }
    return QStringLiteral("%1 (process %2)")
        .arg(program.isEmpty() ? QStringLiteral("a program") : program)
        .arg(pid);
}

} // namespace

WriteLocks::WriteLocks(QString folder) : m_folder(std::move(folder)) {}

QString WriteLocks::lockFileOf(const QString& path) const
{
    const QByteArray hash =
        QCryptographicHash::hash(realPath(path).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QDir(m_folder).filePath(
        QStringLiteral("brindle-write-%1.lock").arg(QString::fromLatin1(hash)));
}

QString WriteLocks::acquire(const QList<Target>& targets, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    const QMutexLocker locker(&heldMutex);
    QStringList refusals;
    for (const Target& target : targets) {
        const QString name = lockFileOf(target.path);
        if (std::shared_ptr<QLockFile> shared = heldHere.value(name).lock()) {
            m_held.push_back(std::move(shared));
            continue;
        }
        auto lock = std::make_shared<QLockFile>(name);
        lock->setStaleLockTime(0); // only a dead holder makes the lock stale
        if (tryLock(*lock, int(deadline.remainingTime()))) {
            heldHere.insert(name, lock);
            m_held.push_back(std::move(lock));
        } else if (lock->error() == QLockFile::LockFailedError) {
            refusals << QStringLiteral("%1 %2 is in use by %3")
                            .arg(target.what, target.path, holderOf(*lock));
        } else {
            refusals << QStringLiteral("%1 %2 cannot be locked: the lock file %3 cannot be made")
                            .arg(target.what, target.path, name);
        }
    }
    if (!refusals.isEmpty()) {
        m_held.clear();
    }
    return refusals.join(QStringLiteral("; "));
}

} // namespace brindle
