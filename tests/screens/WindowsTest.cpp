#include "ChildWidget.h"
#include "ModalScript.h"
#include "TableFile.h"
#include "WizardFixture.h"
#include "screens/ChooseActionWindow.h"
#include "screens/InformationWindow.h"
#include "screens/SettingsWindow.h"
#include "screens/SummaryWindow.h"
#include "screens/UpdateChoiceDialog.h"
#include "screens/Wizard.h"
#include "startup/Settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>

namespace brindle {
namespace {

using test::child;
using test::ModalScript;
using test::phoneChanges;

class Windows : public test::WizardFixture
{
protected:
    void SetUp() override
    {
        WizardFixture::SetUp();
        wizard = std::make_unique<Wizard>(context, settings);
        wizard->forms().processFactory = test::FakeSteps::factory(script);
    }
    void TearDown() override
    {
        wizard.reset();
        WizardFixture::TearDown();
    }

    std::unique_ptr<Wizard> wizard;
};

TEST_F(Windows, SecurityNoticeIsSwitchedOffByItsBoxWhicheverWayItCloses)
{
    for (const QStringList& row : test::tableRows("notice.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        settings.gbShowOutlookWarning = true;
        FOutlookWarning notice(settings);
        notice.Form_Load();
        ModalScript script({[&row](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>("chkShowNotice")->setChecked(row[0] == u"True");
            ModalScript::action(row[1])(dialog);
        }});
        wizard->prompts().showNotice(notice);
        EXPECT_EQ(settings.gbShowOutlookWarning, row[2] == u"True");
        EXPECT_EQ(script.unanswered(), 0);
    }
}

TEST_F(Windows, ConfirmationAnswersComeFromItsButtonsAndCancelAsksFirst)
{
    for (const QStringList& row : test::tableRows("confirmation.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        QList<ModalScript::Action> actions;
        for (const QString& name : row[0].split(u',')) {
            actions << ModalScript::action(name);
        }
        ModalScript script(actions);
        FUpdateChoice dialog(wizard->prompts());
        dialog.objVEXOCard.emplace().LastName = "Acme Traders";
        dialog.setDifferences(phoneChanges(2));
        dialog.TransferAction = 1;
        wizard->prompts().showUpdateChoice(dialog);
        EXPECT_EQ(dialog.UserChoice, row[1].toInt());
        EXPECT_EQ(script.titles.size(), actions.size());
        EXPECT_EQ(script.unanswered(), 0);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(Windows, ProgressWindowCloseBoxAndCancelDuringARun)
{
    ASSERT_TRUE(wizard->start(options()));
    ASSERT_TRUE(wizard->chooseActionWindow()->isVisible());
    settings.gbShowOutlookWarning = false;
    WidgetProgress& progress = wizard->progress();
    bool refusedFirst = false;
    bool refusedSecond = false;
    bool cancelEnabled = true;
    bool helpEnabled = false;
    script.during["PopulateOutlookDataObjects"] = [&](test::FakeSteps&) {
        refusedFirst = !progress.close(); // answered No: the run goes on
    };
    script.during["MergeCollections"] = [&](test::FakeSteps&) {
        refusedFirst = refusedFirst && !progress.close(); // answered Yes
        refusedSecond = !progress.close();                // refused without asking
        cancelEnabled = child<QWidget>(&progress, "cmdCancel")->isEnabled();
        helpEnabled = child<QWidget>(&progress, "cmdHelp")->isEnabled();
    };
    ModalScript modals({ModalScript::click("No"), ModalScript::click("Yes")});
    child<QAbstractButton>(wizard->chooseActionWindow(), "cmdToOutlook")->click();
    EXPECT_TRUE(refusedFirst);
    EXPECT_TRUE(refusedSecond);
    EXPECT_EQ(modals.titles.size(), 2);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(helpEnabled) << "the close box leaves Help as it was";
    EXPECT_EQ(script.calls, (QStringList{"PopulateVEXODataObjects", "PopulateOutlookDataObjects",
                                         "MergeCollections"}));
    EXPECT_EQ(wizard->prompts().summaryWindow()->findChild<QLabel*>("lblFinishHeader")->text(),
              "Export Cancelled");
}

TEST_F(Windows, LeavingASettingsBoxRebuildsTheOthers)
{
    ASSERT_TRUE(wizard->start(options()));
    ASSERT_TRUE(wizard->chooseActionWindow()->isVisible());
    wizard->forms().fChooseAction.cmdSettings_Click();
    SettingsWindow* settings = wizard->settingsWindow();
    auto* box1 = child<QComboBox>(settings, "cboCustomField1");
    auto* box2 = child<QComboBox>(settings, "cboCustomField2");
    const auto offers = [](QComboBox* box, const QString& text) {
        return box->findText(text) >= 0;
    };
    box1->setCurrentText("Spouse");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box1, &popup);
    EXPECT_TRUE(offers(box2, "Spouse")) << "opening its own list is no leaving";
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box1, &leave);
    EXPECT_FALSE(offers(box2, "Spouse"));
    EXPECT_FALSE(offers(child<QComboBox>(settings, "cboCustomField3"), "Spouse"));

    settings->close(); // the close box: nothing taken, the information screen instead
    EXPECT_FALSE(settings->isVisible());
    EXPECT_FALSE(wizard->chooseActionWindow()->isVisible());
    EXPECT_TRUE(wizard->informationWindow()->isVisible());
    EXPECT_EQ(this->settings.glCustomField1, 0);
}

} // namespace
} // namespace brindle
