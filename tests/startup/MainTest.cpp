#include "ProgramFixture.h"
#include "RunningInstance.h"
#include "platform/PlatformError.h"
#include "startup/Settings.h"

#include <QCoreApplication>
#include <QLockFile>
#include <atomic>
#include <optional>
#include <unistd.h>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

class MainStart : public ProgramFixture
{};

TEST_F(MainStart, WithoutCompanyFileShowsOnlyTheInformationScreen)
{
    for (const char* commandLine : {"", "DATABASE=   <CUSTOMERS=YES"}) {
        EXPECT_EQ(MMain::Main(QString::fromLatin1(commandLine)), MMain::FirstScreen::Information)
            << commandLine;
        EXPECT_TRUE(MMain::gbExiting);
        EXPECT_TRUE(prompts.messages.isEmpty());
        EXPECT_FALSE(MMain::ExitApplication()) << "closing the screen unloads nothing more";
    }
    // Settings were neither loaded nor saved; only the log switch exists.
    EXPECT_TRUE(brindleValue(QStringLiteral("AppPath")).isNull());
    EXPECT_TRUE(brindleValue(QStringLiteral("LastConnectedDate")).isNull());
    EXPECT_EQ(brindleValue(QStringLiteral("LogFile")), QStringLiteral("FALSE"));
}

TEST_F(MainStart, OnlyBlanksMakeTheDatabaseEmpty)
{
    const struct
    {
        const char* commandLine;
        bool informationScreen;
    } cases[] = {{"DATABASE=  ", true},
                 {"DATABASE=\t", false},
                 {"DATABASE=\u00a0<CUSTOMERS=YES", false},
                 {"DATABASE= /d.db ", false}};
    for (const auto& c : cases) {
        MMain::resetGlobals();
        const MMain::FirstScreen screen = MMain::Main(QString::fromUtf8(c.commandLine));
        EXPECT_EQ(screen == MMain::FirstScreen::Information, c.informationScreen) << c.commandLine;
        EXPECT_EQ(MMain::gbExiting, c.informationScreen) << c.commandLine;
    }
}

TEST_F(MainStart, NormalStartWritesAppPathAndLoadsSettings)
{
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("2"));
    EXPECT_EQ(MMain::Main(QStringLiteral("DATABASE=/data/company.db<CUSTOMERS=YES")),
              MMain::FirstScreen::ChooseAction);
    EXPECT_FALSE(MMain::gbExiting);
    EXPECT_EQ(MMain::glRulesFilter, 2);
    EXPECT_TRUE(MMain::gobjOptions->Customers());
    EXPECT_TRUE(brindleValue(QStringLiteral("AppPath")).startsWith(folder.path() + '/'));

    EXPECT_TRUE(MMain::ExitApplication()) << "the forms must be unloaded";
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_EQ(MMain::gobjOptions, nullptr);
    EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());

    EXPECT_FALSE(MMain::ExitApplication()) << "a second call only releases";
}

TEST_F(MainStart, EveryStartTakesTheLock)
{
    int row = 0;
    for (const char* commandLine : {"", "DATABASE=/data/company.db"}) {
        const QString program = QStringLiteral("brindle-%1").arg(++row);
        InstanceGuard own(program, folder.path());
        MMain::resetGlobals();
        MMain::setInstanceGuard(&own);
        MMain::Main(QString::fromLatin1(commandLine));
        InstanceGuard later(program, folder.path());
        EXPECT_TRUE(later.previousInstance()) << commandLine;
    }
    MMain::setInstanceGuard(guard.get());
}

struct SecondStart
{
    const char* firstInstance;
    bool listens;     // the first instance answers on its socket
    bool hasWindow;   // and has a window to raise
    bool loggedError; // the refused start logs error 5
};

void PrintTo(const SecondStart& row, std::ostream* os)
{
    *os << row.firstInstance;
}

class MainSecondStart : public ProgramFixture, public ::testing::WithParamInterface<SecondStart>
{
protected:
    void TearDown() override
    {
        InstanceGuard::setRaiseHandler(nullptr);
        ProgramFixture::TearDown();
    }
};

TEST_P(MainSecondStart, IsRefusedWritesOnlyAppPathAndAsksTheFirstToRaiseItsWindow)
{
    const SecondStart& row = GetParam();
    std::atomic<int> raiseRequests = 0;
    InstanceGuard::setRaiseHandler([&] {
        ++raiseRequests;
        return row.hasWindow;
    });
    std::optional<test::RunningInstance> running;
    QLockFile bareLock(folder.filePath(QStringLiteral("brindle-%1.lock").arg(::getuid())));
    if (row.listens) {
        running.emplace(QStringLiteral("brindle"), folder.path());
        ASSERT_TRUE(running->holdsLock());
    } else {
        ASSERT_TRUE(bareLock.tryLock(0));
    }
    enableLog();
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("2"));
    const QByteArray hiveBefore = hiveText();

    EXPECT_EQ(MMain::Main(QStringLiteral("DATABASE=/data/company.db")), MMain::FirstScreen::None);

    ASSERT_EQ(prompts.messages.size(), 1);
    const auto& message = prompts.messages.first();
    EXPECT_EQ(message.text,
              QStringLiteral("The Brindle application is already running.           "));
    EXPECT_EQ(message.title, QStringLiteral("VEXO Brindle"));
    EXPECT_EQ(message.icon, Prompts::Icon::Exclamation);
    EXPECT_TRUE(message.systemModal);
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_EQ(raiseRequests, row.listens ? 1 : 0);

    QStringList expectedLog{
        QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main CommandLine: "
                       "DATABASE=/data/company.db"),
        QStringLiteral("Warning: Attempting to run Brindle twice.")};
    if (row.loggedError) {
        expectedLog.append(QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main Error : 5 "
                                          ": Invalid procedure call or argument"));
    }
    EXPECT_EQ(logLines(), expectedLog);
    EXPECT_EQ(hiveText(), hiveBefore + "AppPath=" + folder.path().toUtf8() + '/' +
                              QCoreApplication::applicationName().toUtf8() + '\n');
}

INSTANTIATE_TEST_SUITE_P(FirstInstances, MainSecondStart,
                         ::testing::Values(SecondStart{"raises its window", true, true, false},
                                           SecondStart{"has no window to raise", true, false, true},
                                           SecondStart{"holds the lock but does not answer", false,
                                                       false, true}));

TEST_F(MainStart, WithoutPromptsAQuestionFailsLoudly)
{
    enableLog();
    MMain::setPrompts(nullptr);
    EXPECT_THROW(MMain::prompts().messageBox(QStringLiteral("Cancel this operation? "),
                                             Prompts::Buttons::YesNo, Prompts::Icon::Information,
                                             QStringLiteral("VEXO Brindle")),
                 PlatformError);
    EXPECT_THROW(MMain::prompts().openFile(QStringLiteral("/help.html"), {}), PlatformError);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Cancel this operation?")))
        << qPrintable(lines[0]);
}

TEST_F(MainStart, CommandLineIsLoggedWithThePasswordMasked)
{
    enableLog();
    MMain::Main(QStringLiteral("DATABASE=/d.db<PASSWORD=s3cr3t<USERNAME=Clerk<password=again"));
    const QStringList lines = logLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.MMain.Main "
                                            "CommandLine: DATABASE=/d.db<PASSWORD=****<USERNAME="
                                            "Clerk<password=****"));
    EXPECT_EQ(MMain::gobjOptions->Password(), QStringLiteral("s3cr3t"));
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
