#include "InstanceGuard.h"

#include <QDir>
#include <unistd.h>

namespace brindle {

namespace {

QString lockFileName(const QString& programName)
{
    return QDir::temp().filePath(
        QStringLiteral("%1-%2.lock").arg(programName).arg(static_cast<qulonglong>(::getuid())));
}

} // namespace

InstanceGuard::InstanceGuard(const QString& programName) : m_lock(lockFileName(programName))
{
    m_lock.setStaleLockTime(0); // only a dead owner makes the lock stale
}

bool InstanceGuard::previousInstance()
{
    return !m_lock.isLocked() && !m_lock.tryLock(0);
}

} // namespace brindle
