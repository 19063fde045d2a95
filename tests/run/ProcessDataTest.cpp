#include "FakeSteps.h"
#include "ProgramFixture.h"
#include "ScriptedProgress.h"
#include "TableFile.h"

namespace brindle {
namespace {

using test::ScriptedProgress;

constexpr qint32 import = 1;
constexpr qint32 exportRun = 2;

const QStringList exportSteps{"PopulateVEXODataObjects", "PopulateOutlookDataObjects",
                              "MergeCollections", "ImportToOutlook"};
const QStringList importSteps{"PopulateVEXODataObjects", "CreateOutlookFolders",
                              "BackupExistingCards",     "PopulateOutlookDataObjects",
                              "MergeCollections",        "ImportToVEXO"};

class ProcessDataTest : public test::ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        settings.gobjOptions.emplace();
        settings.gobjOptions->Analyse("DATABASE=/x.db<CUSTOMERS=YES<PERSONAL=YES");
        settings.gbShowOutlookWarning = false;
    }

    bool run(qint32 direction)
    {
        settings.glTransferAction = direction;
        progress.show(process);
        return process.ProcessData();
    }
    const FSummary& shownSummary() const { return prompts.summaries.constLast(); }

    test::StepScript script;
    ScriptedProgress progress;
    FSummary summary{context, settings};
    test::FakeSteps process{script, context, settings, progress, summary};
};

class StepFailure : public ProcessDataTest, public testing::WithParamInterface<QStringList>
{};

TEST_P(StepFailure, StopsAtTheFailingStepAndStillEndsOnTheSummary)
{
    const QStringList& row = GetParam();
    const qint32 direction = row[0].toInt();
    script.failing = row[1].isEmpty() ? QSet<QString>() : QSet<QString>{row[1]};
    const bool ok = run(direction);

    EXPECT_EQ(script.calls,
              (direction == import ? importSteps : exportSteps).mid(0, row[2].toInt()));
    EXPECT_EQ(std::tuple(ok, process.ApplicationCancelled(), process.UserCancelled()),
              std::tuple(row[3] == u"yes", !ok, false));
    ASSERT_EQ(prompts.summaries.size(), 1);
    EXPECT_EQ(shownSummary().lblFinishHeader.endsWith("Cancelled"), !ok);
    EXPECT_TRUE(progress.events.endsWith("unload") && prompts.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Steps, StepFailure, testing::ValuesIn(test::tableRows("steps.txt")));

class CancelDuringStep : public ProcessDataTest, public testing::WithParamInterface<int>
{};

// A cancel confirmed during the n-th step of an export skips every later one.
TEST_P(CancelDuringStep, SkipsEveryLaterStepAndReportsACancelledRun)
{
    const int stepsRun = GetParam();
    script.during[exportSteps[stepsRun - 1]] = [this](test::FakeSteps&) {
        progress.controls->cmdCancel_Click();
    };
    prompts.answers << Prompts::Yes;
    const bool ok = run(exportRun);

    EXPECT_EQ(script.calls, exportSteps.mid(0, stepsRun));
    EXPECT_EQ(std::tuple(ok, process.UserCancelled(), process.ApplicationCancelled()),
              std::tuple(true, true, false))
        << "a cancel without a failed step";
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_FALSE(progress.cancelEnabled || progress.helpEnabled);
    EXPECT_EQ(shownSummary().lblFinishHeader, "Export Cancelled");
}

INSTANTIATE_TEST_SUITE_P(Steps, CancelDuringStep, testing::Values(1, 2, 3, 4));

TEST_F(ProcessDataTest, CancelOrCloseBoxAnsweredNoLetsTheRunGoOn)
{
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        bool refused = false;
        progress.atPump = {
            {3, closeBox ? ScriptedProgress::close(&refused) : ScriptedProgress::cancel()}};
        progress.pumps = 0;
        prompts.answers = {Prompts::No};
        prompts.messages.clear();
        script.calls.clear();
        EXPECT_TRUE(run(exportRun));
        EXPECT_EQ(script.calls, exportSteps);
        EXPECT_EQ(std::tuple(refused, process.UserCancelled(), progress.cancelEnabled,
                             prompts.messages.size(), shownSummary().lblFinishHeader),
                  std::tuple(closeBox, false, true, 1, "Export Complete"));
    }
}

TEST_F(ProcessDataTest, CloseBoxAnsweredYesCancelsAndASecondCloseIsRefusedWithoutAsking)
{
    bool firstRefused = false;
    bool secondRefused = false;
    progress.atPump.insert(2, ScriptedProgress::close(&firstRefused));
    progress.atPump.insert(3, ScriptedProgress::close(&secondRefused));
    prompts.answers << Prompts::Yes;
    run(exportRun);
    EXPECT_EQ(std::tuple(firstRefused, secondRefused, process.UserCancelled(),
                         process.ApplicationCancelled(), progress.cancelEnabled),
              std::tuple(true, true, true, true, false));
    EXPECT_EQ(std::tuple(prompts.messages.size(), progress.events.count("unload")),
              std::tuple(1, 1));
    EXPECT_EQ(script.calls, exportSteps.mid(0, 1));
    EXPECT_EQ(shownSummary().lblFinishHeader, "Export Cancelled");
}

TEST_F(ProcessDataTest, SecurityNoticeComesBeforeTheContactsAndCanBeSwitchedOff)
{
    settings.gbShowOutlookWarning = true;
    prompts.noticeTicks << true;
    run(exportRun);
    EXPECT_EQ(prompts.notices, QStringList{"FOutlookWarning"});
    EXPECT_FALSE(settings.gbShowOutlookWarning);

    prompts.notices.clear();
    run(exportRun);
    EXPECT_TRUE(prompts.notices.isEmpty());
}

TEST_F(ProcessDataTest, ProgressIsHeldAtOneHundred)
{
    process.AdvanceProgress(60);
    process.AdvanceProgress(60);
    process.AdvanceProgress(-10);
    EXPECT_EQ(progress.values, (QList<double>{60, 100, 90}));
}

TEST_F(ProcessDataTest, NothingIsShownWhileTheProgramShutsDown)
{
    settings.gbExiting = true;
    run(exportRun);
    EXPECT_TRUE(prompts.summaries.isEmpty());
    EXPECT_TRUE(progress.events.endsWith("unload"));
}

TEST_F(ProcessDataTest, TheRunTakesTheRuleAndTheCardTypesOfItsStart)
{
    settings.glRulesFilter = 3;
    run(exportRun);
    EXPECT_EQ(script.switchesAtStart, "C-P-rule 3");

    enableLog();
    settings.gobjOptions.reset();
    EXPECT_FALSE(process.SetTransferFilterOptions()) << "no options to copy from";
    EXPECT_EQ(logLines().count("04/Dec/2026 09:15:02 VEXOBrindle.FProcess.SetTransferFilterOptions "
                               "Error : 91 : Object variable not set"),
              4);
}

} // namespace
} // namespace brindle
