#include "Commands.h"
#include "ProgramFixture.h"
#include "cardlib/Connection.h"
#include "samples/CompanyFileGenerator.h"

#include <QDir>

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
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return cli::dispatch(args, outStream, errStream);
    }

    QString out;
    QString err;
};

TEST_F(CliTest, OptionsPrintsTheNinePropertiesInOrder)
{
    EXPECT_EQ(run({QStringLiteral("options"),
                   QStringLiteral("DATABASE=C:\\Data\\Company.dat<USERNAME=Clerk<CUSTOMERS=YES"
                                  "<SUPPLIERS=yes<PASSWORD=pw<NETWORK_PROTOCOL=TCP")}),
              0);
    EXPECT_EQ(out, QStringLiteral("Database=C:\\Data\\Company.dat\nHostExePath=\n"
                                  "NetworkProtocol=TCP\nPassword=pw\nUsername=Clerk\n"
                                  "Customers=True\nEmployees=False\nPersonal=False\n"
                                  "Suppliers=True\n"));
}

TEST_F(CliTest, WrongCommandsAndArgumentsExitWithTwo)
{
    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("nonsense")},
        {QStringLiteral("options")},
        {QStringLiteral("options"), QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("settings"), QStringLiteral("extra")},
        {QStringLiteral("decode-log"), QStringLiteral("a"), QStringLiteral("b")},
    };
    for (const QStringList& args : wrong) {
        EXPECT_EQ(run(args), cli::UsageError) << args.join(' ').toStdString();
        EXPECT_FALSE(err.isEmpty());
    }
}

TEST_F(CliTest, HelpForTheProgramAndEachCommand)
{
    EXPECT_EQ(run({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("decode-log")));
    EXPECT_EQ(run({QStringLiteral("options"), QStringLiteral("--help")}), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("Usage: brindle-cli options")));
}

TEST_F(CliTest, DecodeLogGivesBackTheLoggedLines)
{
    enableLog();
    MMain::WriteLog(QStringLiteral("first line"));
    MMain::WriteLog(QStringLiteral("Ünïcode ✓ line"));
    EXPECT_EQ(run({QStringLiteral("decode-log")}), 0);
    EXPECT_EQ(out, QStringLiteral("first line\nÜnïcode ✓ line\n"));
    EXPECT_EQ(run({QStringLiteral("decode-log"), folder.filePath(QStringLiteral("none.txt"))}), 1);
}

TEST_F(CliTest, SettingsPrintsTheLoadedGlobals)
{
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("abc"));
    setBrindleValue(QStringLiteral("ShowOutlookWarning"), QStringLiteral("false"));
    EXPECT_EQ(run({QStringLiteral("settings")}), 0);
    EXPECT_TRUE(out.startsWith(QStringLiteral("glRulesFilter=3\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("\ngbShowOutlookWarning=False\n")));
    EXPECT_TRUE(out.endsWith(QStringLiteral("gbSuppressReport=True\n")));
}

// The sample commands, run in a folder of their own as the current folder.
class SampleCommands : public CliTest
{
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        m_home = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
    }
    void TearDown() override
    {
        QDir::setCurrent(m_home);
        CliTest::TearDown();
    }

    QString entries() const
    {
        return QDir(m_work.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .join(u'|');
    }

    QTemporaryDir m_work;
    QString m_home;
};

TEST_F(SampleCommands, WrongUseExitsWithTwoAndWritesNothing)
{
    const QString company = QStringLiteral("sample company");
    const QString contacts = QStringLiteral("sample contacts");
    const QStringList wrong[] = {
        {company},
        {company, ""},
        {company, "", "--cards", "5"},
        {company, "a.db", "b.db"},
        {company, "a.db", "--cards", "-1"},
        {company, "a.db", "--cards", "1000001"},
        {company, "a.db", "--cards", "2147483647"},
        {company, "a.db", "--cards", "many"},
        {company, "a.db", "--cards", "5", "--cards", "6"},
        {company, "a.db", "--country", "fr"},
        {company, "a.db", "--seed", "-1"},
        {company, "a.db", "--password"},
        {company, "a.db", "--bogus", "1"},
        {contacts},
        {contacts, ""},
        {contacts, "", "--contacts", "5"},
        {contacts, "store", "--contacts", "1000001"},
        {contacts, "store", "--layout", "grid"},
        {contacts, "store", "--force"},
    };
    for (const QStringList& line : wrong) {
        const QStringList args = line.first().split(u' ') + line.mid(1);
        SCOPED_TRACE(args.join(u' ').toStdString());
        EXPECT_EQ(run(args), cli::UsageError);
        EXPECT_TRUE(err.startsWith(QStringLiteral("brindle-cli ") + line.first()))
            << err.toStdString();
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
    connection.Settings().DataFile = "x.db";
    connection.Settings().Username = brindle::samples::sampleUserName;
    connection.Settings().Password = "--help";
    EXPECT_TRUE(connection.Connect()) << connection.LastError().description().toStdString();
}

TEST_F(SampleCommands, EveryPathIsAPathAndForceReplacesOnlyRegularFiles)
{
    QDir(m_work.path()).mkdir("folder");
    struct Case
    {
        QStringList args;
        int exitCode;
        QString entries; // of the current folder afterwards
        QString message = {};
    };
    const Case cases[] = {
        {{"file:a.db?vfs=unix-none&x="}, 0, "file:a.db?vfs=unix-none&x=|folder"},
        {{"file:b.db"}, 0, "file:a.db?vfs=unix-none&x=|file:b.db|folder"},
        {{"file:b.db"}, 1, "file:a.db?vfs=unix-none&x=|file:b.db|folder", "exists already"},
        {{"file:b.db", "--force"}, 0, "file:a.db?vfs=unix-none&x=|file:b.db|folder"},
        {{"folder", "--force"},
         1,
         "file:a.db?vfs=unix-none&x=|file:b.db|folder",
         "not a regular file"},
        {{"/" + m_work.filePath("slash.db")},
         0,
         "file:a.db?vfs=unix-none&x=|file:b.db|folder|slash.db"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(run(QStringList{"sample", "company", "--cards", "3"} + c.args), c.exitCode)
            << err.toStdString();
        EXPECT_EQ(entries(), c.entries);
        EXPECT_TRUE(err.contains(c.message)) << err.toStdString();
    }
    EXPECT_TRUE(QFileInfo("folder").isDir());
}

} // namespace
