#include "platform/InstanceGuard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

using brindle::InstanceGuard;

// A first instance in a process of its own (tests/platform/InstanceHolder.cpp).
class Holder
{
public:
    Holder(const QString& program, const QString& folder, const QString& mode)
    {
        m_process.start(QStringLiteral(BRINDLE_BIN_DIR "/instance_holder"),
                        {program, folder, mode});
    }
    ~Holder() { crash(); }

    // Its first line: "ready" once it holds the lock.
    QByteArray firstLine()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        return m_process.readLine().trimmed();
    }
    // Ends it without a chance to clean up, as a crash would; returns what
    // it printed after its first line.
    QByteArray crash()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
        return m_process.readAll();
    }

private:
    QProcess m_process;
};

class InstanceGuardTest : public ::testing::Test
{
protected:
    QTemporaryDir temp;
};

TEST_F(InstanceGuardTest, FirstInstanceRunsSecondIsRefused)
{
    InstanceGuard first("guarded", temp.path());
    EXPECT_FALSE(first.previousInstance());
    EXPECT_FALSE(first.previousInstance()); // asking again does not find itself
    EXPECT_TRUE(InstanceGuard("guarded", temp.path()).previousInstance());
    EXPECT_FALSE(InstanceGuard("another", temp.path()).previousInstance());

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(InstanceGuard("nobody", temp.path()).askPreviousToRaise(3000));
    EXPECT_LT(timer.elapsed(), 1000); // no socket: the answer is at once
}

// Lock files left by processes that no longer run, down to one killed
// between making its lock file and writing its name in it; while a live
// process holds the file, even an empty one refuses the start.
TEST_F(InstanceGuardTest, LockOfACrashedInstanceIsTakenOver)
{
    const QByteArray dead = "999999999\nbrindle\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    const std::tuple<const char*, QByteArray, bool> cases[] = {
        {"dead process", dead, false}, // what, the lock file, held by a live process
        {"nothing written", "", false},
        {"held, nothing written yet", "", true}};
    for (const auto& [what, contents, held] : cases) {
        SCOPED_TRACE(what);
        QFile stale(QDir(temp.path()).filePath(QString("crashed-%1.lock").arg(::getuid())));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly) && stale.write(contents) >= 0);
        stale.flush();
        ASSERT_TRUE(!held || ::flock(stale.handle(), LOCK_EX | LOCK_NB) == 0);
        EXPECT_EQ(InstanceGuard("crashed", temp.path()).previousInstance(), held);
        stale.remove();
    }
}

TEST_F(InstanceGuardTest, SecondProcessAsksTheFirstToRaiseItsWindow)
{
    const std::tuple<const char*, bool, bool> cases[] = {
        {"raise", true, true}, {"no-window", false, true}, {"deaf", false, false}}; // raised, asked
    for (const auto& [mode, raised, asked] : cases) {
        SCOPED_TRACE(mode);
        const QString program = QString("holder-") + mode;
        Holder first(program, temp.path(), mode);
        ASSERT_EQ(first.firstLine(), "ready");
        InstanceGuard second(program, temp.path());
        EXPECT_TRUE(second.previousInstance());
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(second.askPreviousToRaise(1500), raised);
        EXPECT_LT(timer.elapsed(), 5000); // a deaf instance costs the timeout only
        EXPECT_EQ(first.crash().contains("asked"), asked);
    }
}

} // namespace
