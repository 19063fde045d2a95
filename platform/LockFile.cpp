#include "LockFile.h"

#include <QThread>

namespace brindle {

namespace {

bool unnamed(const QLockFile& lock)
{
    return !lock.getLockInfo(nullptr, nullptr, nullptr);
}

} // namespace

bool tryLock(QLockFile& lock, int timeoutMs)
{
    if (lock.tryLock(0)) {
        return true;
    }
    if (lock.error() == QLockFile::LockFailedError && unnamed(lock)) {
        // A live maker names itself at once, and Qt removes no file a live
        // process holds.
        QThread::msleep(20);
        if (unnamed(lock)) {
            lock.removeStaleLockFile();
        }
    }
    return lock.tryLock(timeoutMs);
}

} // namespace brindle
