#include "ScriptedProgress.h"
#include "TableFile.h"
#include "WizardFixture.h"
#include "contactstore/Application.h"
#include "forms/ScreenTexts.h"
#include "platform/WriteLocks.h"
#include "startup/Environment.h"
#include "startup/Settings.h"

namespace brindle {
namespace {

class ScreenLogic : public test::WizardFixture
{
protected:
    // A normal start up to the action screen.
    void start(Forms& started)
    {
        started.processFactory = test::FakeSteps::factory(script);
        ASSERT_EQ(MMain::Main(context, settings, options()), MMain::FirstScreen::ChooseAction);
        started.LoadForNormalStart();
        started.fChooseAction.Show();
    }

    test::ScriptedProgress progress;
    Forms forms{context, settings, progress};
};

TEST_F(ScreenLogic, SettingsBoxesOfferEachSingleUseFieldOnce)
{
    start(forms);
    for (const QStringList& row : test::tableRows("custom-fields.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        settings.glCustomField1 = row[0].toInt();
        settings.glCustomField2 = row[1].toInt();
        settings.glCustomField3 = row[2].toInt();
        forms.fChooseAction.cmdSettings_Click();
        for (int box = 1; box <= 3; ++box) {
            const ComboBox& combo = forms.fAdvanced.cboCustomField(box);
            QStringList shown{combo.text()};
            for (const ComboBox::Entry& entry : combo.entries) {
                shown << entry.text;
            }
            EXPECT_EQ(shown, QStringList{row[2 + box]} + row[5 + box].split(u','));
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
    for (const QStringList& row : test::tableRows("rules-filter.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        settings = RunSettings{};
        setBrindleValue("RulesFilter", row[0]);
        Forms rowForms(context, settings, progress);
        start(rowForms);
        EXPECT_EQ(rowForms.fChooseAction.cboRulesFilter.ListIndex, row[1].toInt());
        rowForms.fChooseAction.cmdSettings_Click();
        EXPECT_EQ(settings.glRulesFilter, row[2].toInt()) << "at Settings";
        rowForms.fAdvanced.cmdAccept_Click();
        rowForms.fChooseAction.cmdToVEXO_Click();
        EXPECT_EQ(brindleValue("RulesFilter"), row[2]) << "at the run";
        EXPECT_EQ(script.rulesFilterAtStart, row[2].toInt());
    }
}

// Another run writes the store: the wizard's run is refused, naming it.
TEST_F(ScreenLogic, AnotherRunsLockRefusesTheRunAndLeavesTheScreenUsable)
{
    start(forms);
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
