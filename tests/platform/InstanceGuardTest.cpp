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

TEST(InstanceGuard, FirstInstanceRunsSecondIsRefused)
{
    const QTemporaryDir temp;
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
TEST(InstanceGuard, LockOfACrashedInstanceIsTakenOver)
{
    const QTemporaryDir temp;
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

TEST(InstanceGuard, SecondProcessAsksTheFirstToRaiseItsWindow)
{
    const QTemporaryDir temp;
    const std::tuple<const char*, bool, bool> cases[] = {
        {"raise", true, true}, {"no-window", false, true}, {"deaf", false, false}}; // raised, asked
    for (const auto& [mode, raised, asked] : cases) {
        SCOPED_TRACE(mode);
        const QString program = QString("holder-") + mode;
        QProcess first; // tests/platform/InstanceHolder.cpp
        first.start(BRINDLE_BIN_DIR "/instance_holder", {program, temp.path(), mode});
        while (!first.canReadLine() && first.waitForReadyRead(10000)) {
        }
        ASSERT_EQ(first.readLine(), "ready\n");
        InstanceGuard second(program, temp.path());
        EXPECT_TRUE(second.previousInstance());
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(second.askPreviousToRaise(1500), raised);
        EXPECT_LT(timer.elapsed(), 5000); // a deaf instance costs the timeout only
        first.kill();                     // as a crash would, without a chance to clean up
        first.waitForFinished(10000);
        EXPECT_EQ(first.readAll().contains("asked"), asked);
    }
}

} // namespace
