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
    InstanceGuard first(QStringLiteral("guarded"), temp.path());
    EXPECT_FALSE(first.previousInstance());
    EXPECT_FALSE(first.previousInstance()); // asking again does not find itself
    EXPECT_TRUE(InstanceGuard(QStringLiteral("guarded"), temp.path()).previousInstance());
    EXPECT_FALSE(InstanceGuard(QStringLiteral("another"), temp.path()).previousInstance());

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(InstanceGuard(QStringLiteral("nobody"), temp.path()).askPreviousToRaise(3000));
    EXPECT_LT(timer.elapsed(), 1000); // no socket: the answer is at once
}

// Lock files left by processes that no longer run, down to one killed
// between making its lock file and writing its name in it; while a live
// process holds the file, even an empty one refuses the start.
TEST_F(InstanceGuardTest, LockOfACrashedInstanceIsTakenOver)
{
    const struct
    {
        const char* what;
        QByteArray contents;
        bool held;
    } cases[] = {
        {"dead process", "999999999\nbrindle\n" + QSysInfo::machineHostName().toUtf8() + "\n",
         false},
        {"nothing written", "", false},
        {"held, nothing written yet", "", true},
    };
    for (const auto& c : cases) {
        const QString name =
            QDir(temp.path()).filePath(QStringLiteral("crashed-%1.lock").arg(::getuid()));
        QFile stale(name);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly)) << c.what;
        stale.write(c.contents);
        stale.flush();
        if (c.held) {
            ASSERT_EQ(::flock(stale.handle(), LOCK_EX | LOCK_NB), 0) << c.what;
        }
        EXPECT_EQ(InstanceGuard(QStringLiteral("crashed"), temp.path()).previousInstance(), c.held)
            << c.what;
        stale.close();
        QFile::remove(name);
    }
}

TEST_F(InstanceGuardTest, SecondProcessAsksTheFirstToRaiseItsWindow)
{
    const struct
    {
        const char* mode;
        bool raised;
        bool asked;
    } cases[] = {{"raise", true, true}, {"no-window", false, true}, {"deaf", false, false}};
    for (const auto& c : cases) {
        const QString program = QStringLiteral("holder-") + QLatin1String(c.mode);
        Holder first(program, temp.path(), QLatin1String(c.mode));
        ASSERT_EQ(first.firstLine(), "ready") << c.mode;

        InstanceGuard second(program, temp.path());
        EXPECT_TRUE(second.previousInstance()) << c.mode;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(second.askPreviousToRaise(1500), c.raised) << c.mode;
        EXPECT_LT(timer.elapsed(), 5000) << c.mode; // a deaf instance costs the timeout only
        EXPECT_EQ(first.crash().contains("asked"), c.asked) << c.mode;
    }
}

} // namespace
