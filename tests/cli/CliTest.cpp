#include "Commands.h"
#include "ProgramFixture.h"
#include "TableFile.h"
#include "cardlib/Connection.h"
#include "samples/CompanyFileGenerator.h"

#include <QProcess>
#include <QRegularExpression>
#include <sys/stat.h>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

class CliTest : public ProgramFixture
{
protected:
    int run(const QStringList& args)
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out), errStream(&err);
        return cli::dispatch(args, outStream, errStream);
    }

    QString out;
    QString err;
};

TEST_F(CliTest, OptionsPrintsTheNinePropertiesInOrder)
{
    EXPECT_EQ(run({"options", "DATABASE=C:\\Data\\Company.dat<USERNAME=Clerk<CUSTOMERS=YES"
                              "<SUPPLIERS=yes<PASSWORD=pw<NETWORK_PROTOCOL=TCP"}),
              0);
    EXPECT_EQ(out,
              "Database=C:\\Data\\Company.dat\nHostExePath=\nNetworkProtocol=TCP\nPassword=****\n"
              "Username=Clerk\nCustomers=True\nEmployees=False\nPersonal=False\nSuppliers=True\n");
}

// Kept out of the process list: from a file only its owner may read, or
// from standard input.
TEST_F(CliTest, TheOptionStringFromAPrivateFileOrStandardInput)
{
    QFile file(folder.filePath("company.options"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("DATABASE=/data/Company.db<PASSWORD=secret<CUSTOMRS=YES\nignored\n");
    file.close();
    for (const QStringList& row : test::tableRows("commands.txt", "options-file")) {
        ASSERT_EQ(::chmod(QFile::encodeName(file.fileName()), row[0].toUInt(nullptr, 8)), 0);
        const QStringList args{"options", "--options-file", file.fileName()};
        EXPECT_EQ(run(args + row[1].split(u' ', Qt::SkipEmptyParts)), row[2].toInt());
        EXPECT_TRUE((out + err).contains(row[3])) << qPrintable(out + err);
    }
    QProcess cli;
    cli.setStandardInputFile(file.fileName());
    cli.start(BRINDLE_BIN_DIR "/brindle-cli", {"options", "-"});
    ASSERT_TRUE(cli.waitForFinished());
    EXPECT_TRUE(cli.readAllStandardOutput().startsWith(
        "Database=/data/Company.db\nHostExePath=\nNetworkProtocol=\nPassword=****\n"));
}

// Each key --help lists is one the option string reads, and it lists them all.
TEST_F(CliTest, HelpListsEachKeyOfTheOptionString)
{
    run({"--help"});
    static const QRegularExpression keyLine("^  ([A-Z_]+)=(\\S+) ",
                                            QRegularExpression::MultilineOption);
    QStringList keys;
    for (const QRegularExpressionMatch& key : keyLine.globalMatch(out)) {
        keys << key.captured(1) + '=' + key.captured(2);
    }
    run({"options", "<"}); // no key at all
    const QString none = out;
    EXPECT_EQ(keys.size(), none.count('\n'));
    for (const QString& key : keys) {
        run({"options", key});
        EXPECT_NE(out, none) << qPrintable(key);
    }
}

// Control characters are escaped; a line too long to read is skipped.
TEST_F(CliTest, DecodeLogGivesBackTheLoggedLinesItCanRead)
{
    enableLog();
    context.WriteLog("first line");
    context.WriteLog("\x1b]0;owned\x07 then\r\nnext\ttab \u0085 \u4eb2 \\ kept");
    EXPECT_EQ(run({"decode-log"}), 0);
    QFile log(MMain::logFilePath());
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write(QByteArray(3 << 20, 'A') + "\r\n");
    log.close();
    context.WriteLog("after");
    EXPECT_EQ(run({"decode-log"}), 1);
    EXPECT_EQ(
        out,
        "first line\n\\x1b]0;owned\\x07 then\\x0d\\x0anext\\x09tab \\x85 \u4eb2 \\ kept\nafter\n");
    EXPECT_TRUE(err.contains("line 3 is longer than")) << err.toStdString();
}

TEST_F(CliTest, DecodeLogRefusesWhatIsNotARegularFile)
{
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QStringList& row : test::tableRows("commands.txt", "decode")) {
        SCOPED_TRACE(row[0].toStdString());
        const QString path = QString(row[0]).replace("$F", fifo).replace("$D", folder.path());
        EXPECT_EQ(run({"decode-log", path}), row[1].toInt());
        EXPECT_TRUE(err.contains(row[2])) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
}

// The sample commands, run in a folder of their own as the current folder.
class SampleCommands : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
    }
    ~SampleCommands() override { QDir::setCurrent(m_home); }

    QString entries() const
    {
        return QDir()
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .join(u'|');
    }

    QTemporaryDir m_work;
    QString m_home = QDir::currentPath();
};

TEST_F(SampleCommands, WrongUseExitsWithTwoSaysWhyAndWritesNothing)
{
    for (const QStringList& row : test::tableRows("wrong-use.txt")) {
        const QStringList args = row.mid(1);
        SCOPED_TRACE(args.join(u' ').toStdString());
        EXPECT_EQ(run(args), cli::UsageError);
        EXPECT_TRUE(err.startsWith(row[0])) << err.toStdString();
        EXPECT_EQ(entries(), QString());
    }
}

TEST_F(SampleCommands, HelpGivenAsAnOptionValueIsTheValue)
{
    EXPECT_EQ(run({"sample", "company", "--help"}), 0);
    EXPECT_TRUE(out.startsWith("Usage: brindle-cli sample company FILE [--cards N]"));
    EXPECT_EQ(run({"sample", "company", "x.db", "--cards", "3", "--password", "--help"}), 0)
        << err.toStdString();
    EXPECT_EQ(out, "Wrote 3 cards to x.db (user Administrator)\n");
    TarvoCards::CConnection connection;
    auto& settings = connection.Settings();
    std::tie(settings.DataFile, settings.Username, settings.Password) =
        std::tuple("x.db", samples::sampleUserName, "--help");
    EXPECT_TRUE(connection.Connect()) << connection.LastError().description().toStdString();
}

TEST_F(SampleCommands, EveryPathIsAPathAndForceReplacesOnlyRegularFiles)
{
    QDir().mkdir("folder");
    for (const QStringList& row : test::tableRows("commands.txt", "sample")) {
        SCOPED_TRACE(row[0].toStdString());
        const QStringList args = QString(row[0]).replace("$W", m_work.path()).split(u' ');
        EXPECT_EQ(run(QStringList{"sample", "company", "--cards", "3"} + args), row[1].toInt())
            << err.toStdString();
        EXPECT_EQ(entries(), QString(row[2]).replace(", ", "|"));
        EXPECT_TRUE(err.contains(row[3])) << err.toStdString();
    }
    EXPECT_TRUE(QFileInfo("folder").isDir());
}

TEST_F(CliTest, SettingsOnlyReadsTheHiveAndSaysWhatIsWrongWithIt)
{
    for (const QStringList& row : test::tableRows("commands.txt", "settings")) {
        SCOPED_TRACE(row[0].toStdString());
        const QByteArray hiveBytes = row[1].toUtf8();
        QFile::remove(hive->fileName());
        QDir(hive->fileName()).removeRecursively();
        if (hiveBytes.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(hive->fileName()));
        } else {
            QFile file(hive->fileName());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(hiveBytes);
        }
        const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries);
        EXPECT_EQ(run({"settings"}), row[2].toInt());
        EXPECT_TRUE(out.startsWith("glRulesFilter=" + row[3] + '\n'));
        EXPECT_TRUE(out.contains(row[2] == u"0" ? "\ngbShowOutlookWarning=False\n"
                                                : "\ngbShowOutlookWarning=True\n"));
        EXPECT_TRUE(out.endsWith("gbSuppressReport=True\n"));
        EXPECT_EQ(err.isEmpty(), row[4].isEmpty()) << err.toStdString();
        EXPECT_TRUE(err.contains(row[4])) << err.toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries), before);
        EXPECT_EQ(hiveText(), hiveBytes);
    }
}

} // namespace
