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

const QString brindleKey = "Software\\VEXO\\VEXO Brindle";

class IniHiveTest : public ::testing::Test
{
protected:
    void writeFile(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    QByteArray readFile(const QString& name = {}) const
    {
        QFile file(name.isEmpty() ? fileName : name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList files() const { return QDir(folder.filePath("sub")).entryList(QDir::Files); }

    QTemporaryDir folder;
    QString fileName = folder.filePath("sub/hklm.ini");
};

TEST_F(IniHiveTest, ValuesReadBackAsWritten)
{
    IniHive hive(fileName);
    EXPECT_TRUE(hive.readValue(brindleKey, "RulesFilter").isNull());
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
    EXPECT_TRUE(reopened.readValue(brindleKey + "\\Help", "RulesFilter").isNull());
    EXPECT_TRUE(reopened.readValue("Key [1]/x\\%20y\\Help", "Topic").isNull());
}

// Key paths and value names are case-blind; a write changes its own line
// and keeps the hand-written spellings, comments and layout.
TEST_F(IniHiveTest, HandWrittenHiveReadsAsWritten)
{
    writeFile("; Brindle's settings\n"
              "[software/vexo/VEXO%20BRINDLE]\n"
              "  logfile = TRUE  \n"
              "\n"
              "# a comment\n"
              "Path=C:\\VEXO\\100%\n"
              "[Software/VEXO/VEXO Brindle/Help]\n"
              "Settings=/opt/help/settings.html\n");
    IniHive hive(fileName);
    EXPECT_EQ(hive.readValue(brindleKey, "LogFile"), "TRUE");
    EXPECT_EQ(hive.readValue(brindleKey, "Path"), "C:\\VEXO\\100%");
    EXPECT_EQ(hive.readValue(brindleKey + "\\Help", "Settings"), "/opt/help/settings.html");
    ASSERT_TRUE(hive.writeValue(brindleKey, "LOGFILE", "FALSE"));
    ASSERT_TRUE(hive.writeValue(brindleKey, "RulesFilter", "2"));
    EXPECT_EQ(hive.readValue(brindleKey, "logFile"), "FALSE");
    EXPECT_EQ(readFile(), QByteArray("; Brindle's settings\n"
                                     "[software/vexo/VEXO%20BRINDLE]\n"
                                     "logfile=FALSE\n"
                                     "\n"
                                     "# a comment\n"
                                     "Path=C:\\VEXO\\100%\n"
                                     "RulesFilter=2\n"
                                     "[Software/VEXO/VEXO Brindle/Help]\n"
                                     "Settings=/opt/help/settings.html\n"));
}

// Read-only, the damaged hive is left as it is; the first write copies it
// aside and drops its damaged lines, which no key could read anyway.
TEST_F(IniHiveTest, DamagedHiveReadsTheSameBeforeAndAfterItsRepair)
{
    const QByteArray damaged = "[Software/VEXO/VEXO Brindle]\nRulesFilter=7\n[broken\n"
                               "LogFile=TRUE\nno equals sign\n"
                               "[Software/VEXO/VEXO Brindle/Help]\nSettings=/help.html\n";
    writeFile(damaged);
    for (const IniHive::Access access :
         {IniHive::Access::ReadOnly, IniHive::Access::ReadWrite, IniHive::Access::ReadWrite}) {
        IniHive hive(fileName, access);
        hive.setProblemReporter([](const QString&) {});
        EXPECT_EQ(hive.readValue(brindleKey, "RulesFilter"), "7");
        EXPECT_TRUE(hive.readValue(brindleKey, "LogFile").isNull());
        EXPECT_EQ(hive.readValue(brindleKey + "\\Help", "Settings"), "/help.html");
        EXPECT_EQ(hive.writeValue(brindleKey, "Other", "1"), access == IniHive::Access::ReadWrite);
        if (access == IniHive::Access::ReadOnly) {
            EXPECT_EQ(readFile(), damaged);
            EXPECT_EQ(files(), QStringList{"hklm.ini"});
        }
    }
    const QStringList copies = files().filter("hklm.ini.damaged-");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readFile(folder.filePath("sub/" + copies.first())), damaged);
    EXPECT_EQ(readFile(), QByteArray("[Software/VEXO/VEXO Brindle]\nRulesFilter=7\nOther=1\n"
                                     "[Software/VEXO/VEXO Brindle/Help]\nSettings=/help.html\n"));
}

TEST_F(IniHiveTest, UnreadableHiveGivesNothingSaysWhyAndIsNeverReplaced)
{
    const auto large = [](const QString& path) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("[Software]\nx=" + QByteArray(5 << 20, 'x') + '\n');
    };
    const auto fifo = [](const QString& path) { ::mkfifo(QFile::encodeName(path), 0600); };
    const std::tuple<const char*, std::function<void(const QString&)>, const char*> cases[] = {
        {"folder", [](const QString& path) { QDir().mkpath(path); }, "is a folder"},
        {"fifo", fifo, "not a regular file"},
        {"too large", large, "larger than"}};
    for (const auto& [name, make, problem] : cases) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(name);
        make(path);
        const QFileInfo before(path);
        IniHive hive(path);
        QStringList problems;
        hive.setProblemReporter([&](const QString& problem) { problems.append(problem); });
        for (int read = 0; read < 3; ++read) {
            EXPECT_THROW(hive.readValue(brindleKey, "x"), brindle::PlatformError);
        }
        ASSERT_EQ(problems.size(), 1); // said once, not at every read
        EXPECT_TRUE(problems.first().contains(problem) && problems.first().contains(path))
            << problems.first().toStdString();
        EXPECT_FALSE(hive.writeValue(brindleKey, "x", "1"));
        EXPECT_EQ(QFileInfo(path).isDir(), before.isDir());
        EXPECT_EQ(QFileInfo(path).size(), before.size());
        EXPECT_TRUE(QDir(folder.path()).entryList({name + QString(".damaged-*")}).isEmpty());
    }
}

// A writer killed between making the lock file and naming itself in it
// leaves an empty lock, which the next writer takes over rather than waits out.
TEST_F(IniHiveTest, EmptyLockOfAKilledWriterIsTakenOver)
{
    writeFile("");
    QFile lock(fileName + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_TRUE(IniHive(fileName).writeValue(brindleKey, "After", "1"));
    EXPECT_EQ(IniHive(fileName).readValue(brindleKey, "After"), "1");
    EXPECT_FALSE(lock.exists());
}

TEST_F(IniHiveTest, ConcurrentWritersLoseNoValue)
{
    constexpr int writers = 4;
    constexpr int valuesEach = 25;
    IniHive(fileName).writeValue(brindleKey, "Start", "1");
    pid_t children[writers];
    for (int w = 0; w < writers; ++w) {
        children[w] = fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            IniHive hive(fileName);
            bool ok = true;
            for (int v = 0; v < valuesEach; ++v) {
                ok &=
                    hive.writeValue(brindleKey, QString("W%1V%2").arg(w).arg(v), QString(200, 'x'));
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
            EXPECT_EQ(hive.readValue(brindleKey, QString("W%1V%2").arg(w).arg(v)).size(), 200)
                << w << ' ' << v;
        }
    }
    EXPECT_EQ(hive.readValue(brindleKey, "Start"), "1");
}

} // namespace
