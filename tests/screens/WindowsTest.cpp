#include "ModalScript.h"
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
#include <QLineEdit>

namespace brindle {
namespace {

using test::phoneChanges;

using test::ModalScript;

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
        return line->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText();
    }
    return QStringLiteral("<no text>");
}

QStringList textsOf(const QWidget& window, const char* name)
{
    QStringList texts;
    for (const QWidget* child : window.findChildren<QWidget*>(QString::fromLatin1(name))) {
        texts << textOf(child);
    }
    return texts;
}

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

    void startNormally()
    {
        ASSERT_TRUE(wizard->start(options()));
        ASSERT_TRUE(wizard->chooseActionWindow()->isVisible());
    }
    template <typename T = QWidget> T* child(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The confirmation of a card's changes, as the comparison fills it in.
    static FUpdateChoice confirmation(Prompts& prompts, const Differences& list, qint32 direction,
                                      bool newCard = false)
    {
        FUpdateChoice dialog(prompts);
        TarvoCards::CCard card;
        card.LastName = QStringLiteral("Acme Traders");
        dialog.objVEXOCard = card;
        dialog.setDifferences(list);
        dialog.TransferAction = direction;
        dialog.NewVEXOCard = newCard;
        return dialog;
    }
    // The confirmation shown through the wizard's prompts.
    FUpdateChoice confirm(const Differences& list, qint32 direction)
    {
        FUpdateChoice dialog = confirmation(wizard->prompts(), list, direction);
        wizard->prompts().showUpdateChoice(dialog);
        return dialog;
    }

    std::unique_ptr<Wizard> wizard;
};

TEST_F(Windows, SecurityNoticeIsSwitchedOffByItsBoxWhicheverWayItCloses)
{
    const struct
    {
        bool tick;
        ModalScript::Action leave;
        bool showLater;
    } rows[] = {
        {true, ModalScript::click(QStringLiteral("cmdOK")), false},
        {false, ModalScript::click(QStringLiteral("cmdOK")), true},
        {true, ModalScript::escape(), false},
        {false, ModalScript::escape(), true},
        {true, [](QWidget& dialog) { dialog.close(); }, false},
    };
    for (const auto& row : rows) {
        settings.gbShowOutlookWarning = true;
        FOutlookWarning notice(settings);
        notice.Form_Load();
        const bool tick = row.tick;
        const ModalScript::Action leave = row.leave;
        ModalScript script({[tick, leave](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("chkShowNotice"))->setChecked(tick);
            leave(dialog);
        }});
        wizard->prompts().showNotice(notice);
        EXPECT_EQ(settings.gbShowOutlookWarning, row.showLater) << "ticked " << row.tick;
        EXPECT_EQ(script.unanswered(), 0);
    }
}

// A button's name or text to click; "escape" and "close" as the close box does.
ModalScript::Action action(const QString& name)
{
    if (name == u"close") {
        return [](QWidget& dialog) { dialog.close(); };
    }
    return name == u"escape" ? ModalScript::escape() : ModalScript::click(name);
}

TEST_F(Windows, ConfirmationAnswersComeFromItsButtonsAndCancelAsksFirst)
{
    const struct
    {
        const char* actions; // on the confirmation and the questions over it
        qint32 choice;
    } rows[] = {{"cmdOK", 6},
                {"cmdReject", 7},
                {"cmdUpdateAll", 8},
                {"cmdCancel,No,cmdReject", 7},
                {"cmdCancel,Yes", 2},
                // The close box and No: the caller shows the confirmation again.
                {"escape,No", 0},
                {"close,Yes", 2}};
    for (const auto& row : rows) {
        const QStringList names = QString::fromLatin1(row.actions).split(u',');
        QList<ModalScript::Action> actions;
        for (const QString& name : names) {
            actions << action(name);
        }
        ModalScript script(actions);
        const FUpdateChoice dialog = confirm(phoneChanges(2), 1);
        EXPECT_EQ(dialog.UserChoice, row.choice) << row.actions;
        EXPECT_EQ(script.seen(), names.size()) << row.actions;
        EXPECT_EQ(script.unanswered(), 0);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

const QString no = QStringLiteral("No");
const QString yes = QStringLiteral("Yes");

TEST_F(Windows, ClickPathFromTheActionScreenThroughARunToTheSummary)
{
    startNormally();
    script.confirmations = {phoneChanges(1), phoneChanges(6)};
    script.added = 3;
    script.sourceCards = 5;
    ChooseActionWindow* action = wizard->chooseActionWindow();
    child<QComboBox>(action, "cboRulesFilter")->setCurrentIndex(2); // Ask me to confirm updates
    child<QAbstractButton>(action, "chkDontTransferInactive")->click();
    child<QAbstractButton>(action, "cmdSettings")->click();
    SettingsWindow* settings = wizard->settingsWindow();
    ASSERT_TRUE(settings->isVisible());
    EXPECT_FALSE(action->isVisible());
    child<QComboBox>(settings, "cboCustomField1")->setCurrentText(QStringLiteral("Birthday"));
    child<QAbstractButton>(settings, "cmdAccept")->click();
    ASSERT_TRUE(action->isVisible());
    EXPECT_EQ(textOf(child(action, "cboRulesFilter")), QStringLiteral("Ask me to confirm updates"));

    ModalScript modals(
        {[](QWidget& notice) {
             notice.findChild<QAbstractButton*>(QStringLiteral("chkShowNotice"))->setChecked(true);
             ModalScript::click(QStringLiteral("Continue"))(notice);
         },
         ModalScript::click(QStringLiteral("Update All"))});
    child<QAbstractButton>(action, "cmdToOutlook")->click();

    EXPECT_EQ(modals.titles, (QStringList{"Brindle - Security Notice",
                                          "Brindle - Confirm Update to Outlook Contact"}));
    EXPECT_EQ(script.answers, QList<qint32>{FUpdateChoice::UpdateAll}) << "Update All asks no more";
    EXPECT_FALSE(action->isVisible());
    EXPECT_FALSE(wizard->progress().isVisible());
    SummaryWindow* summary = wizard->prompts().summaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_EQ(summary->windowTitle(), QStringLiteral("Brindle - Export Summary"));
    EXPECT_EQ(textsOf(*summary, "lblFinishHeader"), QStringList{"Export Complete"});
    EXPECT_EQ(textsOf(*summary, "txtTransferred"), QStringList{"3 of 5"});
    EXPECT_EQ(textsOf(*summary, "lblRejectedCards"), QStringList{"cards"});

    child<QAbstractButton>(summary, "cmdClose")->click();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << qPrintable(window->objectName());
    }
    EXPECT_TRUE(this->settings.gbExiting);
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("3"));
    EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), QStringLiteral("1"));
    EXPECT_EQ(brindleValue(QStringLiteral("CustomField1")), QStringLiteral("3"));
    EXPECT_EQ(brindleValue(QStringLiteral("ShowOutlookWarning")), QStringLiteral("False"));
    EXPECT_EQ(modals.unanswered(), 0);
}

TEST_F(Windows, ProgressWindowCloseBoxAndCancelDuringARun)
{
    startNormally();
    settings.gbShowOutlookWarning = false;
    WidgetProgress& progress = wizard->progress();
    bool refusedFirst = false;
    bool refusedSecond = false;
    bool cancelEnabled = true;
    bool helpEnabled = false;
    script.during[QStringLiteral("PopulateOutlookDataObjects")] = [&](test::FakeSteps&) {
        refusedFirst = !progress.close(); // answered No: the run goes on
    };
    script.during[QStringLiteral("MergeCollections")] = [&](test::FakeSteps&) {
        refusedFirst = refusedFirst && !progress.close(); // answered Yes
        refusedSecond = !progress.close();                // refused without asking
        cancelEnabled = child<QWidget>(&progress, "cmdCancel")->isEnabled();
        helpEnabled = child<QWidget>(&progress, "cmdHelp")->isEnabled();
    };
    ModalScript modals({ModalScript::click(no), ModalScript::click(yes)});
    child<QAbstractButton>(wizard->chooseActionWindow(), "cmdToOutlook")->click();
    EXPECT_TRUE(refusedFirst);
    EXPECT_TRUE(refusedSecond);
    EXPECT_EQ(modals.seen(), 2);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(helpEnabled) << "the close box leaves Help as it was";
    EXPECT_EQ(script.calls, (QStringList{"PopulateVEXODataObjects", "PopulateOutlookDataObjects",
                                         "MergeCollections"}));
    EXPECT_EQ(textsOf(*wizard->prompts().summaryWindow(), "lblFinishHeader"),
              QStringList{"Export Cancelled"});
}

TEST_F(Windows, LeavingASettingsBoxRebuildsTheOthers)
{
    startNormally();
    wizard->forms().fChooseAction.cmdSettings_Click();
    SettingsWindow* settings = wizard->settingsWindow();
    auto* box1 = child<QComboBox>(settings, "cboCustomField1");
    auto* box2 = child<QComboBox>(settings, "cboCustomField2");
    const auto offers = [](QComboBox* box, const QString& text) {
        return box->findText(text) >= 0;
    };
    box1->setCurrentText(QStringLiteral("Spouse"));
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box1, &popup);
    EXPECT_TRUE(offers(box2, QStringLiteral("Spouse"))) << "opening its own list is no leaving";
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box1, &leave);
    EXPECT_FALSE(offers(box2, QStringLiteral("Spouse")));
    EXPECT_FALSE(offers(child<QComboBox>(settings, "cboCustomField3"), QStringLiteral("Spouse")));

    settings->close(); // the close box: nothing taken, the information screen instead
    EXPECT_FALSE(settings->isVisible());
    EXPECT_FALSE(wizard->chooseActionWindow()->isVisible());
    EXPECT_TRUE(wizard->informationWindow()->isVisible());
    EXPECT_EQ(this->settings.glCustomField1, 0);
}

} // namespace
} // namespace brindle
