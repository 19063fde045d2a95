#include "registry/IniHive.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using brindle::IniHive;

const QString brindleKey = QStringLiteral("Software\\VEXO\\VEXO Brindle");
const QString appPathsKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\VEXOP.exe");

class IniHiveTest : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    QString fileName = folder.filePath(QStringLiteral("sub/hklm.ini"));
};

TEST_F(IniHiveTest, CreatesFileAndKeyAndReadsValuesBack)
{
    IniHive hive(fileName);
    EXPECT_TRUE(hive.readValue(brindleKey, QStringLiteral("RulesFilter")).isNull());
    ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("RulesFilter"), QStringLiteral("3")));
    ASSERT_TRUE(hive.writeValue(brindleKey + QStringLiteral("\\Help"), QStringLiteral("Settings"),
                                QStringLiteral("/opt/help/settings.html")));
    ASSERT_TRUE(hive.writeValue(appPathsKey, QString(), QStringLiteral("C:\\VEXO\\VEXOP.exe")));
    ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("Text"),
                                QStringLiteral("a;b=c, \"quoted\" \\ ünï")));

    IniHive reopened(fileName);
    EXPECT_EQ(reopened.readValue(brindleKey, QStringLiteral("RulesFilter")), QStringLiteral("3"));
    EXPECT_EQ(reopened.readValue(brindleKey + QStringLiteral("\\Help"), QStringLiteral("Settings")),
              QStringLiteral("/opt/help/settings.html"));
    EXPECT_EQ(reopened.readValue(appPathsKey, QString()), QStringLiteral("C:\\VEXO\\VEXOP.exe"));
    EXPECT_EQ(reopened.readValue(brindleKey, QStringLiteral("Text")),
              QStringLiteral("a;b=c, \"quoted\" \\ ünï"));
    // A value of the key is not a value of its subkey.
    EXPECT_TRUE(
        reopened.readValue(brindleKey + QStringLiteral("\\Help"), QStringLiteral("RulesFilter"))
            .isNull());
}

TEST_F(IniHiveTest, UnwritableLocationFailsWithoutCreatingAnything)
{
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniHive hive(folder.filePath(QStringLiteral("blocker/hklm.ini")));
    EXPECT_FALSE(hive.writeValue(brindleKey, QStringLiteral("X"), QStringLiteral("1")));
    EXPECT_TRUE(hive.readValue(brindleKey, QStringLiteral("X")).isNull());
}

TEST_F(IniHiveTest, ConcurrentWritersLoseNoValue)
{
    constexpr int writers = 4;
    constexpr int valuesEach = 25;
    IniHive(fileName).writeValue(brindleKey, QStringLiteral("Start"), QStringLiteral("1"));
    pid_t children[writers];
    for (int w = 0; w < writers; ++w) {
        children[w] = fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            IniHive hive(fileName);
            bool ok = true;
            for (int v = 0; v < valuesEach; ++v) {
                ok &= hive.writeValue(brindleKey, QStringLiteral("W%1V%2").arg(w).arg(v),
                                      QString(200, QLatin1Char('x')));
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    IniHive hive(fileName);
    for (int w = 0; w < writers; ++w) {
        for (int v = 0; v < valuesEach; ++v) {
            EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("W%1V%2").arg(w).arg(v)).size(),
                      200)
                << w << ' ' << v;
        }
    }
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("Start")), QStringLiteral("1"));
}

TEST(IniHiveDefaults, EnvironmentNamesTheHive)
{
    qputenv("BRINDLE_REGISTRY", "/tmp/somewhere/hive.ini");
    EXPECT_EQ(IniHive::defaultFileName(), QStringLiteral("/tmp/somewhere/hive.ini"));
    qunsetenv("BRINDLE_REGISTRY");
    EXPECT_TRUE(IniHive::defaultFileName().endsWith(QStringLiteral("/brindle/hklm.ini")));
}

} // namespace
