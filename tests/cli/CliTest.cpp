#include "Commands.h"
#include "ProgramFixture.h"

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

} // namespace
