#include "InstanceGuard.h"

#include "LockFile.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <unistd.h>

namespace brindle {

namespace {

constexpr char raiseRequest[] = "raise\n";
constexpr char raisedAnswer[] = "raised\n";
constexpr char noWindowAnswer[] = "no window\n";
constexpr qint64 longestRequest = 64;

QMutex handlerMutex;
std::function<bool()> raiseHandler;

bool raiseWindow()
{
    std::function<bool()> handler;
    {
        const QMutexLocker locker(&handlerMutex);
        handler = raiseHandler;
    }
    return handler && handler();
}

QString perUserName(const QString& folder, const QString& programName, const char* suffix)
{
    return QDir(folder).filePath(QStringLiteral("%1-%2.%3")
                                     .arg(programName)
                                     .arg(static_cast<qulonglong>(::getuid()))
                                     .arg(QLatin1String(suffix)));
}

// One request per connection: "raise", answered "raised" or "no window".
void answer(QLocalSocket& socket)
{
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() > longestRequest) {
            socket.abort();
        }
        return;
    }
    if (socket.readLine(longestRequest) != raiseRequest) {
        socket.abort();
        return;
    }
    socket.write(raiseWindow() ? raisedAnswer : noWindowAnswer);
    socket.disconnectFromServer();
}

} // namespace

InstanceGuard::InstanceGuard(const QString& programName, const QString& folder)
    : m_lock(perUserName(folder, programName, "lock")),
      m_socketName(perUserName(folder, programName, "socket"))
{
    m_lock.setStaleLockTime(0); // only a dead owner makes the lock stale
}

InstanceGuard::~InstanceGuard() = default;

void InstanceGuard::setRaiseHandler(std::function<bool()> handler)
{
    const QMutexLocker locker(&handlerMutex);
    raiseHandler = std::move(handler);
}

bool InstanceGuard::previousInstance()
{
    if (m_lock.isLocked()) {
        return false;
    }
    if (!tryLock(m_lock, 0)) {
        // Only a live holder refuses this start; a lock that cannot be made
        // at all proves nothing.
        return m_lock.error() == QLockFile::LockFailedError;
    }
    listen();
    return false;
}

void InstanceGuard::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_socketName); // a crashed holder's; the lock is ours now
    if (!m_server->listen(m_socketName)) {
        m_server.reset(); // this instance cannot be raised; it still holds the lock
        return;
    }
    QLocalServer* server = m_server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket,
                             [socket] { answer(*socket); });
            answer(*socket);
        }
    });
}

bool InstanceGuard::askPreviousToRaise(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return false;
    }
    socket.write(raiseRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime()))) {
            return false;
        }
    }
    return socket.readLine(longestRequest) == raisedAnswer;
}

} // namespace brindle
