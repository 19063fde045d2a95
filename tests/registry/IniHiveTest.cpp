#include "registry/IniHive.h"

#include "TableFile.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using brindle::IniHive;

const QString brindleKey = QStringLiteral("Software\\VEXO\\VEXO Brindle");

class IniHiveTest : public ::testing::Test
{
protected:
    void writeFile(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray readFile() const
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    QString fileName = folder.filePath(QStringLiteral("sub/hklm.ini"));
};

TEST_F(IniHiveTest, ValuesReadBackAsWritten)
{
    IniHive hive(fileName);
    EXPECT_TRUE(hive.readValue(brindleKey, QStringLiteral("RulesFilter")).isNull());
    const QList<QStringList> values = brindle::test::tableRows("values.txt");
    for (const QStringList& v : values) {
        ASSERT_TRUE(hive.writeValue(v[0], v[1], v[2])) << v[1].toStdString();
    }
    IniHive reopened(fileName);
    for (const QStringList& v : values) {
        const QString read = reopened.readValue(v[0], v[1]);
        EXPECT_EQ(read, v[2]) << v[0].toStdString() << " / " << v[1].toStdString();
        EXPECT_FALSE(read.isNull()) << v[1].toStdString();
    }
    // A value of a key is not a value of its subkey.
    EXPECT_TRUE(reopened.readValue(brindleKey + "\\Help", QStringLiteral("RulesFilter")).isNull());
    EXPECT_TRUE(reopened.readValue("Key [1]/x\\%20y\\Help", QStringLiteral("Topic")).isNull());
}

TEST_F(IniHiveTest, KeyPathsAndValueNamesAreCaseBlind)
{
    writeFile("[software/vexo/VEXO BRINDLE]\nlogfile=TRUE\n");
    IniHive hive(fileName);
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("LogFile")), QStringLiteral("TRUE"));
    ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("LOGFILE"), QStringLiteral("FALSE")));
    ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("RulesFilter"), QStringLiteral("2")));
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("logFile")), QStringLiteral("FALSE"));
    // The hand-written spellings stay; no second value or key appears.
    EXPECT_EQ(readFile(),
              QByteArray("[software/vexo/VEXO BRINDLE]\nlogfile=FALSE\nRulesFilter=2\n"));
}

TEST_F(IniHiveTest, HandWrittenHiveReadsAsWritten)
{
    writeFile("; Brindle's settings\n"
              "[Software/VEXO/VEXO%20Brindle]\n"
              "  LogFile = TRUE  \n"
              "\n"
              "# a comment\n"
              "Path=C:\\VEXO\\100%\n"
              "[Software/VEXO/VEXO Brindle/Help]\n"
              "Settings=/opt/help/settings.html\n");
    IniHive hive(fileName);
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("LogFile")), QStringLiteral("TRUE"));
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("Path")), QStringLiteral("C:\\VEXO\\100%"));
    EXPECT_EQ(hive.readValue(brindleKey + QStringLiteral("\\Help"), QStringLiteral("Settings")),
              QStringLiteral("/opt/help/settings.html"));
    // A write changes its own line and keeps the comments and the layout.
    ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("LogFile"), QStringLiteral("FALSE")));
    EXPECT_EQ(readFile(), QByteArray("; Brindle's settings\n"
                                     "[Software/VEXO/VEXO%20Brindle]\n"
                                     "LogFile=FALSE\n"
                                     "\n"
                                     "# a comment\n"
                                     "Path=C:\\VEXO\\100%\n"
                                     "[Software/VEXO/VEXO Brindle/Help]\n"
                                     "Settings=/opt/help/settings.html\n"));
}

TEST_F(IniHiveTest, DamagedHiveReadsTheSameBeforeAndAfterItsRepair)
{
    const QByteArray damaged = "[Software/VEXO/VEXO Brindle]\n"
                               "RulesFilter=7\n"
                               "[broken\n"
                               "LogFile=TRUE\n"
                               "no equals sign\n"
                               "[Software/VEXO/VEXO Brindle/Help]\n"
                               "Settings=/help.html\n";
    writeFile(damaged);
    for (int run = 0; run < 2; ++run) {
        IniHive hive(fileName);
        EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("RulesFilter")), QStringLiteral("7"));
        // The value under the damaged header belongs to no key that can be read.
        EXPECT_TRUE(hive.readValue(brindleKey, QStringLiteral("LogFile")).isNull());
        EXPECT_EQ(hive.readValue(brindleKey + QStringLiteral("\\Help"), QStringLiteral("Settings")),
                  QStringLiteral("/help.html"));
        if (run == 0) {
            ASSERT_TRUE(hive.writeValue(brindleKey, QStringLiteral("Other"), QStringLiteral("1")));
        }
    }
    const QStringList copies = QDir(folder.filePath(QStringLiteral("sub")))
                                   .entryList({QStringLiteral("hklm.ini.damaged-*")}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    QFile copy(folder.filePath(QStringLiteral("sub/") + copies.first()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_EQ(readFile(), QByteArray("[Software/VEXO/VEXO Brindle]\n"
                                     "RulesFilter=7\n"
                                     "Other=1\n"
                                     "[Software/VEXO/VEXO Brindle/Help]\n"
                                     "Settings=/help.html\n"));
}

TEST_F(IniHiveTest, UnreadableHiveGivesNothingSaysWhyAndIsNeverReplaced)
{
    const struct
    {
        const char* name;
        std::function<void(const QString&)> make;
        const char* problem;
    } cases[] = {
        {"folder", [](const QString& path) { QDir().mkpath(path); }, "is a folder"},
        {"fifo", [](const QString& path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         "not a regular file"},
        {"too large",
         [](const QString& path) {
             QFile file(path);
             file.open(QIODevice::WriteOnly);
             file.write("[Software]\nx=" + QByteArray(5 << 20, 'x') + '\n');
         },
         "larger than"},
    };
    for (const auto& c : cases) {
        const QString path = folder.filePath(QString::fromLatin1(c.name));
        c.make(path);
        const QFileInfo before(path);
        IniHive hive(path);
        QStringList problems;
        hive.setProblemReporter([&](const QString& problem) { problems.append(problem); });
        for (int read = 0; read < 3; ++read) {
            EXPECT_THROW(hive.readValue(brindleKey, QStringLiteral("x")), brindle::PlatformError)
                << c.name;
        }
        ASSERT_EQ(problems.size(), 1) << c.name; // said once, not at every read
        EXPECT_TRUE(problems.first().contains(QLatin1String(c.problem)))
            << problems.first().toStdString();
        EXPECT_TRUE(problems.first().contains(path)) << problems.first().toStdString();
        EXPECT_FALSE(hive.writeValue(brindleKey, QStringLiteral("x"), QStringLiteral("1")))
            << c.name;
        const QFileInfo after(path);
        EXPECT_EQ(after.isDir(), before.isDir()) << c.name;
        EXPECT_EQ(after.size(), before.size()) << c.name;
        EXPECT_TRUE(QDir(folder.path())
                        .entryList({QString::fromLatin1(c.name) + QStringLiteral(".damaged-*")})
                        .isEmpty());
    }
}

TEST_F(IniHiveTest, ReadOnlyHiveNeverTouchesTheFile)
{
    const QByteArray damaged = "[Software/VEXO/VEXO Brindle]\nRulesFilter=7\n[broken\n";
    writeFile(damaged);
    IniHive hive(fileName, IniHive::Access::ReadOnly);
    hive.setProblemReporter([](const QString&) {});
    EXPECT_EQ(hive.readValue(brindleKey, QStringLiteral("RulesFilter")), QStringLiteral("7"));
    EXPECT_FALSE(hive.writeValue(brindleKey, QStringLiteral("LogFile"), QStringLiteral("FALSE")));
    EXPECT_EQ(readFile(), damaged);
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("sub"))).entryList(QDir::Files),
              QStringList{QStringLiteral("hklm.ini")});
}

// A writer killed between making the lock file and naming itself in it
// leaves an empty lock, which the next writer takes over rather than waits out.
TEST_F(IniHiveTest, EmptyLockOfAKilledWriterIsTakenOver)
{
    writeFile("");
    QFile lock(fileName + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_TRUE(
        IniHive(fileName).writeValue(brindleKey, QStringLiteral("After"), QStringLiteral("1")));
    EXPECT_EQ(IniHive(fileName).readValue(brindleKey, QStringLiteral("After")),
              QStringLiteral("1"));
    EXPECT_FALSE(lock.exists());
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

} // namespace
