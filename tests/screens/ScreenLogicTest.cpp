#include "ScriptedProgress.h"
#include "WizardFixture.h"
#include "contactstore/Application.h"
#include "forms/ScreenTexts.h"
#include "platform/WriteLocks.h"
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
    }
    // A normal start up to the action screen.
    void start()
    {
        ASSERT_EQ(MMain::Main(context, settings, options()), MMain::FirstScreen::ChooseAction);
        forms.LoadForNormalStart();
        forms.fChooseAction.Show();
    }
    void openSettings(qint32 field1, qint32 field2, qint32 field3)
    {
        settings.glCustomField1 = field1;
        settings.glCustomField2 = field2;
        settings.glCustomField3 = field3;
        forms.fChooseAction.cmdSettings_Click();
    }
    void choose(int box, const char* text)
    {
        ComboBox& combo = forms.fAdvanced.cboCustomField(box);
        combo.ListIndex = int(texts(combo).indexOf(QLatin1String(text)));
        ASSERT_GE(combo.ListIndex, 0) << text << " is not offered in box " << box;
    }

    ScriptedProgress progress;
    Forms forms{context, settings, progress};
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
        EXPECT_EQ(settings.glCustomField1, forms.fAdvanced.cboCustomField1.selectedItemData());
        EXPECT_EQ(settings.glCustomField3, forms.fAdvanced.cboCustomField3.selectedItemData());
        EXPECT_TRUE(forms.fChooseAction.Visible && !forms.fAdvanced.Visible);
    }
    EXPECT_EQ(forms.fAdvanced.lblVersion, versionLabel());
}

TEST_F(ScreenLogic, StoredRuleSelectsItsEntryAndAnUnknownOneBecomesTheFirst)
{
    const struct
    {
        const char* stored;
        int listIndex;
        qint32 savedAtNextRun;
    } rows[] = {{"0", 0, 0}, {"2", 1, 2}, {"3", 2, 3}, {"1", 0, 0}, {"4", 0, 0}, {"-5", 0, 0}};
    for (const auto& row : rows) {
        settings = RunSettings{};
        setBrindleValue("RulesFilter", QString::fromLatin1(row.stored));
        Forms rowForms(context, settings, progress);
        rowForms.processFactory = test::FakeSteps::factory(script);
        ASSERT_EQ(MMain::Main(context, settings, options()), MMain::FirstScreen::ChooseAction);
        rowForms.LoadForNormalStart();
        rowForms.fChooseAction.Show();
        const ComboBox& rules = rowForms.fChooseAction.cboRulesFilter;
        EXPECT_EQ(rules.ListIndex, row.listIndex) << row.stored;
        rowForms.fChooseAction.cmdSettings_Click();
        EXPECT_EQ(settings.glRulesFilter, row.savedAtNextRun) << "at Settings, " << row.stored;
        rowForms.fAdvanced.cmdAccept_Click();
        rowForms.fChooseAction.cmdToVEXO_Click();
        EXPECT_EQ(brindleValue("RulesFilter"), QString::number(row.savedAtNextRun))
            << "at the run, " << row.stored;
        EXPECT_EQ(script.rulesFilterAtStart, row.savedAtNextRun);
    }
}

// Another run writes the store: the wizard's run is refused, naming it.
TEST_F(ScreenLogic, AnotherRunsLockRefusesTheRunAndLeavesTheScreenUsable)
{
    start();
    QLockFile otherRun(WriteLocks().lockFileOf(contacts::Application::defaultRoot()));
    ASSERT_TRUE(otherRun.tryLock(0));
    forms.fChooseAction.chkDontTransferInactive = true;
    EXPECT_FALSE(forms.fChooseAction.cmdToOutlook_Click());
    EXPECT_EQ(settings.glTransferInactives, 1);
    EXPECT_EQ(forms.fChooseAction.MousePointer, Form::Pointer::Default);
    EXPECT_TRUE(script.calls.isEmpty());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The contact store "));
    EXPECT_TRUE(forms.fChooseAction.cmdToOutlook.enabled && forms.fChooseAction.Visible);
}

} // namespace
} // namespace brindle
