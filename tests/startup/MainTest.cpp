#include "ProgramFixture.h"
#include "platform/PlatformError.h"
#include "startup/Settings.h"

#include <QCoreApplication>
#include <QLockFile>
#include <unistd.h>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

using MainStart = ProgramFixture;

TEST_F(MainStart, WithoutCompanyFileShowsOnlyTheInformationScreen)
{
    for (const char* commandLine : {"", "DATABASE=   <CUSTOMERS=YES"}) {
        EXPECT_EQ(MMain::Main(context, settings, QString::fromLatin1(commandLine)),
                  MMain::FirstScreen::Information)
            << commandLine;
        EXPECT_TRUE(settings.gbExiting);
        EXPECT_TRUE(prompts.messages.isEmpty());
        EXPECT_FALSE(MMain::ExitApplication(context, settings))
            << "closing the screen unloads nothing more";
    }
    // Settings were neither loaded nor saved; only the log switch exists.
    EXPECT_TRUE(brindleValue("AppPath").isNull() && brindleValue("LastConnectedDate").isNull());
    EXPECT_EQ(brindleValue("LogFile"), "FALSE");
}

// The first instance holds the lock but does not answer: the start is refused,
// logged, and writes nothing but AppPath.
TEST_F(MainStart, SecondStartIsRefusedAndWritesOnlyAppPath)
{
    QLockFile firstInstance(folder.filePath(QStringLiteral("brindle-%1.lock").arg(::getuid())));
    ASSERT_TRUE(firstInstance.tryLock(0));
    enableLog();
    setBrindleValue("RulesFilter", "2");
    const QByteArray hiveBefore = hiveText();

    EXPECT_EQ(MMain::Main(context, settings, "DATABASE=/data/company.db"),
              MMain::FirstScreen::None);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages.first().systemModal);
    EXPECT_TRUE(settings.gbExiting);
    EXPECT_EQ(logLines(), (QStringList{"04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main CommandLine: "
                                       "DATABASE=/data/company.db",
                                       "Warning: Attempting to run Brindle twice.",
                                       "04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main Error : 5 : "
                                       "Invalid procedure call or argument"}));
    EXPECT_EQ(hiveText(), hiveBefore + "AppPath=" + folder.path().toUtf8() + '/' +
                              QCoreApplication::applicationName().toUtf8() + '\n');
}

TEST_F(MainStart, CommandLineIsLoggedWithThePasswordMasked)
{
    enableLog();
    MMain::Main(context, settings,
                "DATABASE=postgresql://clerk:pw@db/books<PASSWORD=s3cr3t<USERNAME="
                "Clerk<password=again");
    const QStringList lines = logLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main "
                             "CommandLine: DATABASE=postgresql://clerk:****@db/"
                             "books<PASSWORD=****<USERNAME=Clerk<password=****");
    EXPECT_EQ(settings.gobjOptions->Password(), "s3cr3t");
}

TEST_F(MainStart, CompanionFileIsLookedForInTheProgramFolder)
{
    EXPECT_FALSE(MMain::CheckApplicationFiles());
    QFile companion(folder.filePath(MMain::companionFileName()));
    ASSERT_TRUE(companion.open(QIODevice::WriteOnly));
    companion.close();
    EXPECT_TRUE(MMain::CheckApplicationFiles());
    EXPECT_FALSE(MMain::FileExists(folder.path())); // a folder is not a file
}

} // namespace
