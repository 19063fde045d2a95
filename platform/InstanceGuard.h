#pragma once

#include <QDir>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace brindle {

// The previous-instance test: a per-user lock held for the life of the
// process, and a per-user local socket on which the instance that holds it
// is asked to raise its window. A crashed instance leaves a stale lock and
// socket that the next one takes over.
class InstanceGuard
{
public:
    // The lock and the socket are named after the program and the user and
    // live in folder.
    explicit InstanceGuard(const QString& programName, const QString& folder = QDir::tempPath());
    ~InstanceGuard();

    // True when another live instance holds the lock. Otherwise this one
    // takes it, if it has not already, and answers raise requests while its
    // thread runs an event loop.
    bool previousInstance();
    // Asks the instance that holds the lock to raise its window; true only
    // when it answered within the time that it did.
    bool askPreviousToRaise(int timeoutMs = 3000) const;

    // What this process does when asked: the front end raises and activates
    // its window, and returns false when it has none to show.
    static void setRaiseHandler(std::function<bool()> handler);

private:
    void listen();

    QLockFile m_lock;
    QString m_socketName;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace brindle
