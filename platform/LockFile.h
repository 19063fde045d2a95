#pragma once

#include <QLockFile>

namespace brindle {

// QLockFile::tryLock that also takes over the lock file of a process killed
// between making it and writing its name in it: Qt cannot tell whose such a
// file is and keeps it for its whole stale time (for ever when that is 0).
bool tryLock(QLockFile& lock, int timeoutMs);

} // namespace brindle
