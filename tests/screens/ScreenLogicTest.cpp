#include "ScriptedProgress.h"
#include "WizardFixture.h"
#include "contactstore/Application.h"
#include "platform/WriteLocks.h"
#include "screens/ScreenTexts.h"
#include "startup/Environment.h"
#include "startup/Settings.h"

namespace brindle {
namespace {

using test::ScriptedProgress;

QStringList texts(const ComboBox& box)
{
    QStringList list;
    for (const ComboBox::Entry& entry : box.entries) {
        list << entry.text;
    }
    return list;
}

const QStringList allFields{"None", "Categories", "Anniversary", "Birthday", "Spouse"};

QStringList without(QStringList list, const QStringList& gone)
{
    for (const QString& text : gone) {
        list.removeAll(text);
    }
    return list;
}

class ScreenLogic : public test::WizardFixture
{
protected:
    void SetUp() override
    {
        WizardFixture::SetUp();
        forms.processFactory = test::FakeSteps::factory(script);
        forms.fChooseAction.setRefresh([this] {
            refreshes << QStringLiteral("%1%2").arg(forms.fChooseAction.Visible ? "shown"
                                                                                : "hidden",
                                                    forms.fChooseAction.Enabled ? "" : " busy");
        });
    }
    // A normal start up to the action screen.
    void start()
    {
        ASSERT_EQ(MMain::Main(options()), MMain::FirstScreen::ChooseAction);
        forms.LoadForNormalStart();
        forms.fChooseAction.Show();
    }
    void openSettings(qint32 field1, qint32 field2, qint32 field3)
    {
        MMain::glCustomField1 = field1;
        MMain::glCustomField2 = field2;
        MMain::glCustomField3 = field3;
        forms.fChooseAction.cmdSettings_Click();
    }
    void choose(int box, const char* text)
    {
        ComboBox& combo = forms.fAdvanced.cboCustomField(box);
        combo.ListIndex = int(texts(combo).indexOf(QLatin1String(text)));
        ASSERT_GE(combo.ListIndex, 0) << text << " is not offered in box " << box;
    }

    ScriptedProgress progress;
    Forms forms{prompts, progress};
    QStringList refreshes;
};

TEST_F(ScreenLogic, SettingsBoxesOfferEachSingleUseFieldOnce)
{
    const struct
    {
        qint32 stored[3];
        const char* shown[3];
        QStringList missing[3]; // entries each box leaves out
    } rows[] = {
        {{2, 2, 0}, {"None", "None", "None"}, {{"Anniversary"}, {"Anniversary"}, {"Anniversary"}}},
        {{1, 1, 3}, {"Categories", "Categories", "Birthday"}, {{"Birthday"}, {"Birthday"}, {}}},
        {{7, -1, 4}, {"None", "None", "Spouse"}, {{"Spouse"}, {"Spouse"}, {}}},
        {{0, 0, 0}, {"None", "None", "None"}, {{}, {}, {}}},
        {{2, 3, 4},
         {"Anniversary", "Birthday", "Spouse"},
         {{"Birthday", "Spouse"}, {"Anniversary", "Spouse"}, {"Anniversary", "Birthday"}}},
    };
    start();
    for (const auto& row : rows) {
        openSettings(row.stored[0], row.stored[1], row.stored[2]);
        for (int box = 1; box <= 3; ++box) {
            const ComboBox& combo = forms.fAdvanced.cboCustomField(box);
            EXPECT_EQ(combo.text(), QLatin1String(row.shown[box - 1])) << "box " << box;
            EXPECT_EQ(texts(combo), without(allFields, row.missing[box - 1])) << "box " << box;
        }
        forms.fAdvanced.cmdAccept_Click();
        EXPECT_EQ(MMain::glCustomField1, forms.fAdvanced.cboCustomField1.selectedItemData());
        EXPECT_EQ(MMain::glCustomField3, forms.fAdvanced.cboCustomField3.selectedItemData());
        EXPECT_TRUE(forms.fChooseAction.Visible && !forms.fAdvanced.Visible);
    }
    EXPECT_EQ(forms.fAdvanced.lblVersion, versionLabel());
}

TEST_F(ScreenLogic, LeavingABoxTakesItsFieldFromTheOthers)
{
    const struct
    {
        int box;
        const char* choice;
        bool leave; // the box loses the focus after the choice
        const char* shown[3];
        bool offersBirthday[3];
    } steps[] = {
        {3, "Birthday", false, {"None", "None", "Birthday"}, {true, true, true}},
        // Box 3 held it when box 1 was built, so box 3 falls back to None.
        {1, "Birthday", true, {"Birthday", "None", "None"}, {true, false, false}},
        {2, "Categories", true, {"Birthday", "Categories", "None"}, {true, false, false}},
        {3, "Categories", true, {"Birthday", "Categories", "Categories"}, {true, false, false}},
        {1, "Spouse", true, {"Spouse", "Categories", "Categories"}, {true, true, true}},
    };
    start();
    openSettings(0, 0, 0);
    for (const auto& step : steps) {
        choose(step.box, step.choice);
        if (step.leave) {
            forms.fAdvanced.cboCustomField_LostFocus(step.box);
        }
        for (int box = 1; box <= 3; ++box) {
            const ComboBox& combo = forms.fAdvanced.cboCustomField(box);
            EXPECT_EQ(combo.text(), QLatin1String(step.shown[box - 1]))
                << step.choice << " in box " << step.box << ", box " << box;
            EXPECT_EQ(texts(combo).contains(QStringLiteral("Birthday")),
                      step.offersBirthday[box - 1])
                << step.choice << " in box " << step.box << ", box " << box;
        }
    }
}

TEST_F(ScreenLogic, SettingsAreTakenByOkOnlyAndReachTheRegistryWithTheRun)
{
    start();
    openSettings(1, 0, 0);
    choose(2, "Spouse");
    forms.fAdvanced.chkDisableOutlookFolders = true;
    forms.fAdvanced.Form_QueryUnload(); // the close box: nothing taken
    EXPECT_FALSE(forms.fChooseAction.Visible);
    EXPECT_FALSE(forms.fAdvanced.Visible);
    EXPECT_EQ(MMain::glCustomField2, 0);
    EXPECT_EQ(MMain::glDisableOutlookFolders, 0);
    EXPECT_TRUE(forms.fMain.Visible) << "the information screen comes up instead";
    forms.fMain.Hide();

    openSettings(1, 0, 0);
    EXPECT_FALSE(forms.fAdvanced.chkDisableOutlookFolders) << "the box follows the setting";
    choose(2, "Spouse");
    forms.fAdvanced.chkDisableOutlookFolders = true;
    forms.fAdvanced.cmdAccept_Click();
    EXPECT_EQ(MMain::glCustomField2, 4);
    EXPECT_EQ(MMain::glDisableOutlookFolders, 1);
    EXPECT_TRUE(brindleValue(QStringLiteral("CustomField2")).isNull()) << "not before the run";
    forms.fChooseAction.cmdToOutlook_Click();
    EXPECT_EQ(brindleValue(QStringLiteral("CustomField2")), QStringLiteral("4"));
    EXPECT_EQ(brindleValue(QStringLiteral("DisableOutlookFolders")), QStringLiteral("1"));
}

TEST_F(ScreenLogic, StoredRuleSelectsItsEntryAndAnUnknownOneBecomesTheFirst)
{
    const struct
    {
        const char* stored;
        int listIndex;
        qint32 savedAtNextRun;
    } rows[] = {{"0", 0, 0}, {"2", 1, 2}, {"3", 2, 3}, {"1", 0, 0}, {"4", 0, 0}, {"-5", 0, 0}};
    const QStringList entries{"Update existing contacts", "Do not update existing contacts",
                              "Ask me to confirm updates"};
    for (const auto& row : rows) {
        MMain::resetGlobals();
        MMain::setPrompts(&prompts);
        setBrindleValue(QStringLiteral("RulesFilter"), QString::fromLatin1(row.stored));
        Forms rowForms(prompts, progress);
        rowForms.processFactory = test::FakeSteps::factory(script);
        ASSERT_EQ(MMain::Main(options()), MMain::FirstScreen::ChooseAction);
        rowForms.LoadForNormalStart();
        rowForms.fChooseAction.Show();
        const ComboBox& rules = rowForms.fChooseAction.cboRulesFilter;
        EXPECT_EQ(texts(rules), entries);
        EXPECT_EQ(rules.ListIndex, row.listIndex) << row.stored;
        rowForms.fChooseAction.cmdSettings_Click();
        EXPECT_EQ(MMain::glRulesFilter, row.savedAtNextRun) << "at Settings, " << row.stored;
        rowForms.fAdvanced.cmdAccept_Click();
        rowForms.fChooseAction.cmdToVEXO_Click();
        EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QString::number(row.savedAtNextRun))
            << "at the run, " << row.stored;
        EXPECT_EQ(script.rulesFilterAtStart, row.savedAtNextRun);
    }
}

TEST_F(ScreenLogic, ComingUpShowsTheSettingsAndGivesTheExportArrowTheFocus)
{
    for (const qint32 stored : {0, 1, 2}) {
        MMain::glTransferInactives = stored;
        forms.fChooseAction.Hide();
        forms.fChooseAction.cmdToVEXO.enabled = false;
        forms.fChooseAction.Show();
        EXPECT_EQ(forms.fChooseAction.chkDontTransferInactive, stored == 1) << stored;
        EXPECT_TRUE(forms.fChooseAction.cmdToVEXO.enabled &&
                    forms.fChooseAction.cmdToOutlook.enabled);
        EXPECT_EQ(forms.fChooseAction.focus, QStringLiteral("cmdToOutlook"));
    }
    forms.fChooseAction.chkDontTransferInactive = false;
    forms.fChooseAction.Show();
    EXPECT_FALSE(forms.fChooseAction.chkDontTransferInactive) << "shown already: choices kept";
}

struct CheckRow
{
    const char* name;
    std::function<void(const QDir&)> breakIt;
    const char* message; // the first message shown, its start; nullptr: none
};

void PrintTo(const CheckRow& row, std::ostream* out)
{
    *out << row.name;
}

class Checks : public ScreenLogic, public testing::WithParamInterface<CheckRow>
{};

TEST_P(Checks, RunInOrderAndTheFirstFailureStopsThem)
{
    start();
    GetParam().breakIt(QDir(folder.path()));
    prompts.answers << Prompts::No;
    bool exitApplication = false;
    const bool passed = forms.fChooseAction.InitialiseSettings(exitApplication);
    EXPECT_EQ(passed, QLatin1String(GetParam().name) == QLatin1String("all pass"));
    EXPECT_FALSE(exitApplication);
    if (!GetParam().message) {
        EXPECT_TRUE(prompts.messages.isEmpty());
        return;
    }
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QLatin1String(GetParam().message)))
        << qPrintable(prompts.messages[0].text);
}

INSTANTIATE_TEST_SUITE_P(
    InitialiseSettings, Checks,
    testing::Values(
        CheckRow{"all pass", [](const QDir&) {}, nullptr},
        CheckRow{"contact store unusable, company file missing",
                 [](const QDir& d) {
                     qputenv("BRINDLE_CONTACTS", d.filePath(MMain::companionFileName()).toUtf8());
                     QFile::remove(d.filePath(QStringLiteral("Company.db")));
                 },
                 "VEXO Brindle could not find your Outlook Installation\r\n\r\nPlease ensure "
                 "that Outlook is installed before continuing"},
        CheckRow{"companion file and driver missing",
                 [](const QDir& d) {
                     QFile::remove(d.filePath(MMain::companionFileName()));
                     qputenv("BRINDLE_DRIVER_VERSION", "missing");
                 },
                 "A Brindle System File is missing\r\nPlease re-install Brindle\r\n\r\nIf "
                 "this problem persists, please contact VEXO support."},
        CheckRow{"driver missing",
                 [](const QDir&) { qputenv("BRINDLE_DRIVER_VERSION", "missing"); },
                 "Could not locate the VEXO ODBC Driver!"},
        CheckRow{"company file missing",
                 [](const QDir& d) { QFile::remove(d.filePath(QStringLiteral("Company.db"))); },
                 nullptr}));

struct ArrowRow
{
    bool exportArrow;
    qint32 direction;
    QStringList steps;
};

void PrintTo(const ArrowRow& row, std::ostream* out)
{
    *out << (row.exportArrow ? "export arrow" : "import arrow");
}

class Arrows : public ScreenLogic, public testing::WithParamInterface<ArrowRow>
{};

TEST_P(Arrows, RunTheTransferAndEndOnTheSummary)
{
    const ArrowRow& row = GetParam();
    start();
    refreshes.clear();
    FChooseAction& screen = forms.fChooseAction;
    screen.cboRulesFilter.ListIndex = 1;
    screen.chkDontTransferInactive = true;
    const bool unloadAll = row.exportArrow ? screen.cmdToOutlook_Click() : screen.cmdToVEXO_Click();
    EXPECT_FALSE(unloadAll);
    EXPECT_EQ(script.calls, row.steps);
    EXPECT_EQ(MMain::glTransferAction, row.direction);
    EXPECT_EQ(script.rulesFilterAtStart, 2);
    EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), QStringLiteral("1"))
        << "saved before the run";
    EXPECT_EQ(progress.events.first(), QStringLiteral("show"));
    EXPECT_EQ(progress.events.last(), QStringLiteral("unload"));
    EXPECT_EQ(refreshes, (QStringList{"shown busy", "hidden busy", "hidden"}));
    ASSERT_EQ(prompts.summaries.size(), 1);
    EXPECT_EQ(prompts.summaries[0].lblFinishHeader, row.direction == 2
                                                        ? QStringLiteral("Export Complete")
                                                        : QStringLiteral("Import Complete"));
    EXPECT_EQ(screen.MousePointer, Form::Pointer::Default);
    EXPECT_TRUE(screen.cmdSettings.enabled && screen.Enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, Arrows,
    testing::Values(ArrowRow{true,
                             2,
                             {"PopulateVEXODataObjects", "PopulateOutlookDataObjects",
                              "MergeCollections", "ImportToOutlook"}},
                    ArrowRow{false,
                             1,
                             {"PopulateVEXODataObjects", "CreateOutlookFolders",
                              "BackupExistingCards", "PopulateOutlookDataObjects",
                              "MergeCollections", "ImportToVEXO"}}));

TEST_F(ScreenLogic, AFailedCheckLeavesTheScreenUsableAndTheInstallerEndsTheProgram)
{
    start();
    {
        QLockFile otherRun(WriteLocks().lockFileOf(contacts::Application::defaultRoot()));
        ASSERT_TRUE(otherRun.tryLock(0));
        EXPECT_FALSE(forms.fChooseAction.cmdToOutlook_Click());
        ASSERT_EQ(prompts.messages.size(), 1) << "another run writes the store";
        EXPECT_TRUE(prompts.messages.takeFirst().text.startsWith("The contact store "));
    }
    refreshes.clear();
    QFile::remove(folder.filePath(QStringLiteral("Company.db")));
    EXPECT_FALSE(forms.fChooseAction.cmdToOutlook_Click());
    EXPECT_TRUE(script.calls.isEmpty());
    EXPECT_EQ(refreshes, (QStringList{"shown busy", "shown"})) << "the hourglass flashes";
    EXPECT_TRUE(forms.fChooseAction.cmdToOutlook.enabled && forms.fChooseAction.Visible);
    EXPECT_TRUE(prompts.messages.isEmpty());

    qputenv("BRINDLE_DRIVER_VERSION", "missing");
    touch(QStringLiteral("VEXOP.exe"));
    QDir(folder.path()).mkpath(QStringLiteral("Kestrel4"));
    touch(QStringLiteral("Kestrel4/Setup.exe"));
    ASSERT_TRUE(hive->writeValue(MMain::appPathsKey(QStringLiteral("VEXOP.exe")), QString(),
                                 folder.filePath(QStringLiteral("VEXOP.exe"))));
    prompts.answers << Prompts::Yes;
    EXPECT_TRUE(forms.fChooseAction.cmdToVEXO_Click()) << "every form is to be unloaded";
    EXPECT_EQ(prompts.openedFiles,
              QStringList{folder.filePath(QStringLiteral("Kestrel4/Setup.exe"))});
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty()) << "settings saved";
    EXPECT_TRUE(script.calls.isEmpty());
}

TEST_F(ScreenLogic, CloseBoxesAndHelp)
{
    start();
    const QString help = folder.filePath(QStringLiteral("help.html"));
    touch(QStringLiteral("help.html"));
    const struct
    {
        const char* value;
        std::function<void(Forms&)> click;
    } rows[] = {
        {"ChooseAction", [](Forms& f) { f.fChooseAction.cmdHelp_Click(); }},
        {"Settings", [](Forms& f) { f.fAdvanced.cmdHelp_Click(); }},
    };
    for (const auto& row : rows) {
        prompts.openedFiles.clear();
        row.click(forms);
        EXPECT_TRUE(prompts.openedFiles.isEmpty()) << "nothing registered: " << row.value;
        ASSERT_TRUE(hive->writeValue(MMain::helpKey(), QLatin1String(row.value), help));
        row.click(forms);
        EXPECT_EQ(prompts.openedFiles, QStringList{help}) << row.value;
    }

    EXPECT_TRUE(forms.fChooseAction.Form_QueryUnload()) << "the close box ends the program";
    EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());
    EXPECT_FALSE(forms.fChooseAction.Form_QueryUnload()) << "unloaded by the exit: nothing more";
}

TEST_F(ScreenLogic, InformationScreenEndsTheProgramWithNothingMoreToUnload)
{
    ASSERT_EQ(MMain::Main(QString()), MMain::FirstScreen::Information);
    forms.fMain.Show();
    EXPECT_FALSE(forms.fMain.Form_QueryUnload()) << "started by hand: nothing more to unload";
}

} // namespace
} // namespace brindle
