#include "FakeSteps.h"
#include "ProgramFixture.h"
#include "ScriptedProgress.h"

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
        settings.gobjOptions->Analyse(QStringLiteral("DATABASE=/x.db<CUSTOMERS=YES<PERSONAL=YES"));
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

struct FailureRow
{
    qint32 direction;
    const char* failing;
    int stepsRun; // steps called, the failing one included
};

void PrintTo(const FailureRow& row, std::ostream* out)
{
    *out << (row.direction == import ? "import" : "export") << " failing at '" << row.failing
         << "'";
}

class StepFailure : public ProcessDataTest, public testing::WithParamInterface<FailureRow>
{};

TEST_P(StepFailure, StopsAtTheFailingStepAndStillEndsOnTheSummary)
{
    const FailureRow& row = GetParam();
    script.failing << QString::fromLatin1(row.failing);
    const bool ok = run(row.direction);

    const QStringList& steps = row.direction == import ? importSteps : exportSteps;
    EXPECT_EQ(script.calls, steps.mid(0, row.stepsRun));
    EXPECT_EQ(ok, QString::fromLatin1(row.failing).isEmpty());
    EXPECT_EQ(process.ApplicationCancelled(), !ok);
    EXPECT_FALSE(process.UserCancelled());
    ASSERT_EQ(prompts.summaries.size(), 1);
    const QString heading = shownSummary().lblFinishHeader;
    EXPECT_EQ(heading.endsWith(QLatin1String("Cancelled")), !ok) << qPrintable(heading);
    EXPECT_TRUE(progress.events.endsWith(QStringLiteral("unload")));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Steps, StepFailure,
                         testing::Values(FailureRow{exportRun, "", 4},
                                         FailureRow{exportRun, "PopulateVEXODataObjects", 1},
                                         FailureRow{exportRun, "PopulateOutlookDataObjects", 2},
                                         FailureRow{exportRun, "MergeCollections", 3},
                                         FailureRow{exportRun, "ImportToOutlook", 4},
                                         FailureRow{import, "", 6},
                                         FailureRow{import, "PopulateVEXODataObjects", 1},
                                         FailureRow{import, "BackupExistingCards", 3},
                                         FailureRow{import, "PopulateOutlookDataObjects", 4},
                                         FailureRow{import, "MergeCollections", 5},
                                         FailureRow{import, "ImportToVEXO", 6}));

TEST_F(ProcessDataTest, BackupAloneDecidesAfterTheFolderStep)
{
    script.failing << QStringLiteral("CreateOutlookFolders");
    EXPECT_TRUE(run(import));
    EXPECT_EQ(script.calls, importSteps);
}

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
    EXPECT_TRUE(process.UserCancelled());
    EXPECT_FALSE(process.ApplicationCancelled()) << "a cancel without a failed step";
    EXPECT_TRUE(ok);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Cancel this operation? "));
    EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
    EXPECT_FALSE(progress.cancelEnabled);
    EXPECT_FALSE(progress.helpEnabled);
    EXPECT_EQ(shownSummary().lblFinishHeader, QStringLiteral("Export Cancelled"));
    EXPECT_EQ(shownSummary().lblFinishBody,
              QStringLiteral("Details in your Outlook contacts may be incomplete."));
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
        EXPECT_EQ(refused, closeBox);
        EXPECT_EQ(script.calls, exportSteps);
        EXPECT_FALSE(process.UserCancelled());
        EXPECT_TRUE(progress.cancelEnabled);
        EXPECT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(shownSummary().lblFinishHeader, QStringLiteral("Export Complete"));
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
    EXPECT_TRUE(firstRefused);
    EXPECT_TRUE(secondRefused);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(process.UserCancelled());
    EXPECT_TRUE(process.ApplicationCancelled());
    EXPECT_FALSE(progress.cancelEnabled);
    EXPECT_EQ(script.calls, exportSteps.mid(0, 1));
    EXPECT_EQ(progress.events.count(QStringLiteral("unload")), 1);
    EXPECT_EQ(shownSummary().lblFinishHeader, QStringLiteral("Export Cancelled"));
}

struct CounterRow
{
    qint32 direction;
    qint32 total;
    qint32 added;
    qint32 updated;
    const char* transferred;
    const char* rejected;
};

void PrintTo(const CounterRow& row, std::ostream* out)
{
    *out << row.transferred << ", " << row.updated << " updated";
}

class SummaryCounters : public ProcessDataTest, public testing::WithParamInterface<CounterRow>
{};

TEST_P(SummaryCounters, RejectedIsTotalLessAddedAndUpdated)
{
    const CounterRow& row = GetParam();
    script.sourceCards = row.total;
    script.added = row.added;
    script.updated = row.updated;
    run(row.direction);
    const FSummary& shown = shownSummary();
    EXPECT_EQ(shown.TotalCards, row.total);
    EXPECT_EQ(shown.transferred.value, QLatin1String(row.transferred));
    EXPECT_EQ(shown.updated.value, QString::number(row.updated));
    EXPECT_EQ(shown.rejected.value, QLatin1String(row.rejected));
}

INSTANTIATE_TEST_SUITE_P(Counts, SummaryCounters,
                         testing::Values(CounterRow{import, 15, 12, 2, "12 of 15", "1"},
                                         CounterRow{exportRun, 0, 0, 0, "0 of 0", "0"},
                                         CounterRow{exportRun, 7, 3, 4, "3 of 7", "0"}));

TEST_F(ProcessDataTest, SecurityNoticeComesBeforeTheContactsAndCanBeSwitchedOff)
{
    settings.gbShowOutlookWarning = true;
    prompts.noticeTicks << true;
    run(exportRun);
    EXPECT_EQ(prompts.notices, QStringList{QStringLiteral("FOutlookWarning")});
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
    EXPECT_TRUE(progress.events.endsWith(QStringLiteral("unload")));
}

TEST_F(ProcessDataTest, TheRunTakesTheRuleAndTheCardTypesOfItsStart)
{
    settings.glRulesFilter = 3;
    run(exportRun);
    EXPECT_EQ(script.switchesAtStart, QStringLiteral("C-P-rule 3"));

    enableLog();
    settings.gobjOptions.reset();
    EXPECT_FALSE(process.SetTransferFilterOptions()) << "no options to copy from";
    const QStringList lines = logLines();
    EXPECT_EQ(lines.count(QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.FProcess."
                                         "SetTransferFilterOptions Error : 91 : Object variable "
                                         "not set")),
              4);
}

} // namespace
} // namespace brindle
