#pragma once

#include "platform/InstanceGuard.h"

#include <QThread>
#include <memory>

namespace brindle::test {

// Another instance of the program: an InstanceGuard that takes the lock and
// answers raise requests on a thread with its own event loop, as a second
// process would. Needs a QCoreApplication.
class RunningInstance
{
public:
    RunningInstance(const QString& programName, const QString& folder)
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                m_guard = std::make_unique<InstanceGuard>(programName, folder);
                m_holdsLock = !m_guard->previousInstance();
            },
            Qt::BlockingQueuedConnection);
    }

    ~RunningInstance()
    {
        QMetaObject::invokeMethod(
            &m_context, [&] { m_guard.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    bool holdsLock() const { return m_holdsLock; }

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<InstanceGuard> m_guard;
    bool m_holdsLock = false;
};

} // namespace brindle::test
