#include "registry/IniHive.h"

#include "TableFile.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

using brindle::IniHive;
using namespace Qt::StringLiterals;

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
    QByteArray data(const char* name) const
    {
        return readFile(BRINDLE_TEST_DATA "/" + u""_s + name);
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
    writeFile(data("hand-written.ini"));
    IniHive hive(fileName);
    EXPECT_EQ(hive.readValue(brindleKey, "LogFile"), "TRUE");
    EXPECT_EQ(hive.readValue(brindleKey, "Path"), "C:\\VEXO\\100%");
    EXPECT_EQ(hive.readValue(brindleKey + "\\Help", "Settings"), "/opt/help/settings.html");
    ASSERT_TRUE(hive.writeValue(brindleKey, "LOGFILE", "FALSE"));
    ASSERT_TRUE(hive.writeValue(brindleKey, "RulesFilter", "2"));
    EXPECT_EQ(hive.readValue(brindleKey, "logFile"), "FALSE");
    EXPECT_EQ(readFile(), data("hand-written-after.ini"));
}

// Read-only, the damaged hive is left as it is; the first write copies it
// aside and drops its damaged lines, which no key could read anyway.
TEST_F(IniHiveTest, DamagedHiveReadsTheSameBeforeAndAfterItsRepair)
{
    const QByteArray damaged = data("damaged.ini");
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
            EXPECT_EQ(readFile() + files().join(u' ').toUtf8(), damaged + "hklm.ini");
        }
    }
    const QStringList copies = files().filter("hklm.ini.damaged-");
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readFile(folder.filePath("sub/" + copies.first())), damaged);
    EXPECT_EQ(readFile(), data("damaged-after.ini"));
}

TEST_F(IniHiveTest, UnreadableHiveGivesNothingSaysWhyAndIsNeverReplaced)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"folder", "mkdir '%1'", "is a folder"}, // name, made by, problem
        {"fifo", "mkfifo '%1'", "not a regular file"},
        {"too large", "printf '[Software]\\nx=' >'%1' && truncate -s 5M '%1'", "larger than"}};
    for (const auto& [name, command, problem] : cases) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(name);
        ASSERT_EQ(std::system(qPrintable(QString(command).arg(path))), 0);
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
    ASSERT_TRUE(QFile(fileName + ".lock").open(QIODevice::WriteOnly));
    EXPECT_TRUE(IniHive(fileName).writeValue(brindleKey, "After", "1"));
    EXPECT_EQ(IniHive(fileName).readValue(brindleKey, "After"), "1");
    EXPECT_FALSE(QFile::exists(fileName + ".lock"));
}

TEST_F(IniHiveTest, ConcurrentWritersLoseNoValue)
{
    const auto name = [](int w, int v) { return QString("W%1V%2").arg(w).arg(v); };
    IniHive(fileName).writeValue(brindleKey, "Start", "1");
    pid_t children[4];
    for (int w = 0; w < 4; ++w) {
        if ((children[w] = fork()) == 0) {
            IniHive hive(fileName);
            bool ok = true;
            for (int v = 0; v < 25; ++v) {
                ok &= hive.writeValue(brindleKey, name(w, v), QString(200, 'x'));
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        EXPECT_TRUE(waitpid(child, &status, 0) > 0 && WIFEXITED(status) && !WEXITSTATUS(status));
    }
    IniHive hive(fileName);
    for (int v = 0; v < 100; ++v) {
        EXPECT_EQ(hive.readValue(brindleKey, name(v % 4, v / 4)).size(), 200) << v;
    }
    EXPECT_EQ(hive.readValue(brindleKey, "Start"), "1");
}

} // namespace
