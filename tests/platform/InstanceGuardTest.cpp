#include "platform/InstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using brindle::InstanceGuard;

class InstanceGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        qputenv("TMPDIR", temp.path().toUtf8());
    }
    void TearDown() override { qunsetenv("TMPDIR"); }

    QTemporaryDir temp;
};

TEST_F(InstanceGuardTest, FirstInstanceRunsSecondIsRefused)
{
    InstanceGuard first(QStringLiteral("guarded"));
    EXPECT_FALSE(first.previousInstance());
    EXPECT_FALSE(first.previousInstance()); // asking again does not find itself

    InstanceGuard second(QStringLiteral("guarded"));
    EXPECT_TRUE(second.previousInstance());

    InstanceGuard other(QStringLiteral("another-program"));
    EXPECT_FALSE(other.previousInstance());
}

TEST_F(InstanceGuardTest, LockOfACrashedInstanceIsTakenOver)
{
    // A lock file left by a process that no longer runs.
    const QString name =
        QDir(temp.path()).filePath(QStringLiteral("crashed-%1.lock").arg(::getuid()));
    QFile stale(name);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("999999999\nbrindle\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();

    InstanceGuard guard(QStringLiteral("crashed"));
    EXPECT_FALSE(guard.previousInstance());
}

} // namespace
