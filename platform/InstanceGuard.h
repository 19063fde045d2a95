#pragma once

#include <QLockFile>
#include <QString>

namespace brindle {

// The previous-instance test: a per-user lock held for the life of the
// process. A crashed instance leaves a stale lock that the next one takes.
class InstanceGuard
{
public:
    explicit InstanceGuard(const QString& programName);

    // True when another live instance holds the lock.
    bool previousInstance();

private:
    QLockFile m_lock;
};

} // namespace brindle
