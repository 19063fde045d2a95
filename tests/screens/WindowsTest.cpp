#include "ModalScript.h"
#include "WizardFixture.h"
#include "screens/ChooseActionWindow.h"
#include "screens/InformationWindow.h"
#include "screens/NoticeDialog.h"
#include "screens/ScreenTexts.h"
#include "screens/SettingsWindow.h"
#include "screens/SummaryWindow.h"
#include "screens/UpdateChoiceDialog.h"
#include "screens/Wizard.h"
#include "startup/Settings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

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
        wizard = std::make_unique<Wizard>();
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
        MMain::glTransferAction = direction;
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

TEST_F(Windows, EachScreenShowsItsTexts)
{
    startNormally();
    wizard->forms().fChooseAction.cmdSettings_Click();
    QWidget* action = wizard->chooseActionWindow();
    QWidget* settings = wizard->settingsWindow();
    QWidget* progress = &wizard->progress();
    const struct
    {
        QWidget* window;
        const char* name;
        QStringList texts;
    } rows[] = {
        {action, "lblTransferAction", {"VEXO", "Outlook"}},
        {action, "lblToVEXO", {"  Import Outlook contacts to your VEXO cards"}},
        {action, "lblToVEXODescription", {"Click the Import Arrow."}},
        {action, "lblToOutlook", {"  Export VEXO cards to your Outlook contacts"}},
        {action, "lblToOutlookDescription", {"Click the Export Arrow."}},
        {action, "lblUpdateChoices", {"Update Rules"}},
        {action, "chkDontTransferInactive", {"Allow the export of inactive VEXO cards to Outlook"}},
        {action, "cmdSettings", {"S&ettings"}},
        {action, "cmdHelp", {"&Help"}},
        {action, "lblLastConnect", {"First Time Use"}},
        {action, "lblRelease", {"Release Details"}},
        {action, "lblVersion", {versionLabel()}},
        {settings, "lblCustomFieldMapping", {"Custom Field Settings"}},
        {settings,
         "lblCustomDescription",
         {"Select a matching Outlook contact field into which you want to export your VEXO "
          "custom fields."}},
        {settings, "lblCustomField2", {"Custom Field 2"}},
        {settings, "lblTransferRules", {"Import and Export Rules"}},
        {settings,
         "chkDisableOutlookFolders",
         {"Import and export all VEXO cards to the default contacts folder."}},
        {settings,
         "lblOutlookFolderNote",
         {"VEXO cards exported to your Outlook contacts are by default saved to folders grouped "
          "by card type.",
          "If you synchronize to your Outlook contacts with a Personal Digital Assistant (PDA), "
          "you need to save your VEXO cards to the default Microsoft Outlook contacts folder.",
          "(Required for sharing contacts with your PDA)"}},
        {settings, "cmdAccept", {"&OK"}},
        {settings, "cmdHelp", {"&Help"}},
        {settings, "lblVersion", {versionLabel()}},
        {progress, "lblWait", {"Please wait..."}},
        {progress, "lblVEXOTitle", {"VEXO Data Connection"}},
        {progress, "lblVEXOMessage", {"Connecting to the VEXO Company File... "}},
        {progress, "lblOutlookWaiting", {"Outlook Data Connection"}},
        {progress, "lblOutlookMsg", {"Connecting to the Outlook application..."}},
        {progress, "cmdCancel", {"Cancel"}},
        {progress, "cmdHelp", {"Help"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(textsOf(*row.window, row.name), row.texts) << row.name;
    }
    EXPECT_EQ(action->windowTitle(), QStringLiteral("Brindle - Import and Export Options"));
    EXPECT_EQ(settings->windowTitle(), QStringLiteral("Brindle - Settings"));
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("Brindle - Matching VEXO Cards"));
    EXPECT_EQ(child<QWidget>(settings, "chkDisableOutlookFolders")->toolTip(),
              QStringLiteral("NOTE: Required for Active Sync with Mobile devices."));
    EXPECT_EQ(textsOf(*settings, "cboCustomField1"), QStringList{"None"});
    EXPECT_TRUE(settings->isVisible() && !action->isVisible());
}

TEST_F(Windows, NoticesShowTheirTextsAndContinue)
{
    const struct
    {
        std::function<std::unique_ptr<Notice>()> make;
        const char* title;
        const char* labels;
        int labelCount;
        bool checkBox;
    } rows[] = {
        {[] { return std::make_unique<FOutlookWarning>(); }, "Brindle - Security Notice",
         "lblWarning3", 1, true},
        {[] { return std::make_unique<FVEXOEmptyMsg>(); }, "Brindle - Blank Field Warning",
         "lblWarning", 3, false},
        {[] { return std::make_unique<FOutlookCategories>(); }, "Brindle - Category Warning",
         "lblWarning", 3, false},
    };
    for (const auto& row : rows) {
        const auto notice = row.make();
        NoticeDialog dialog(*notice);
        EXPECT_EQ(dialog.windowTitle(), QLatin1String(row.title));
        const QStringList labels = textsOf(dialog, row.labels);
        ASSERT_EQ(labels.size(), row.labelCount) << row.title;
        EXPECT_TRUE(notice->texts().contains(labels[0])) << qPrintable(labels[0]);
        EXPECT_EQ(textsOf(dialog, "cmdOK"), QStringList{"Continue"});
        EXPECT_EQ(textsOf(dialog, "chkShowNotice").size(), row.checkBox ? 1 : 0);
    }
}

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
        MMain::gbShowOutlookWarning = true;
        FOutlookWarning notice;
        notice.Form_Load();
        const bool tick = row.tick;
        const ModalScript::Action leave = row.leave;
        ModalScript script({[tick, leave](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>(QStringLiteral("chkShowNotice"))->setChecked(tick);
            leave(dialog);
        }});
        wizard->prompts().showNotice(notice);
        EXPECT_EQ(MMain::gbShowOutlookWarning, row.showLater) << "ticked " << row.tick;
        EXPECT_EQ(script.unanswered(), 0);
    }
}

TEST(TwipsToPixels, FollowTheLogicalDpi)
{
    const struct
    {
        qint32 twips;
        qreal dpi;
        int pixels;
    } rows[] = {{1440, 96, 96}, {4170, 96, 278}, {4170, 144, 417}, {15, 96, 1}, {0, 120, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(twipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " at " << row.dpi;
    }
}

TEST_F(Windows, ConfirmationShowsTheLayoutOfItsCase)
{
    const struct
    {
        const char* name;
        int changes;
        qint32 direction;
        bool newCard;
        bool blank;
        const char* buttons; // visible, in order
        int rows;
        bool moreThanFour;
    } cases[] = {
        {"addition", 0, 1, true, false, "Add|Skip|Cancel", 0, false},
        {"two changes", 2, 1, false, false, "Update|Skip|Update All|Cancel", 2, false},
        {"six changes", 6, 2, false, false, "Update|Skip|Update All|Cancel", 4, true},
        {"blank fields", 3, 1, false, true, "Skip|Cancel", 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FUpdateChoice logic = confirmation(
            prompts, phoneChanges(c.changes, c.blank ? QString() : QStringLiteral("new")),
            c.direction, c.newCard);
        logic.Form_Activate();
        UpdateChoiceDialog dialog(logic);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), logic.caption);
        QStringList buttons;
        for (const char* name : {"cmdOK", "cmdReject", "cmdUpdateAll", "cmdCancel"}) {
            auto* button = child<QAbstractButton>(&dialog, name);
            if (button->isVisible()) {
                buttons << button->text();
            }
        }
        EXPECT_EQ(buttons.join(u'|'), QLatin1String(c.buttons));
        int rows = 0;
        for (const QWidget* label : dialog.findChildren<QWidget*>(QStringLiteral("txtChangeNew"))) {
            rows += label->isVisible() ? 1 : 0;
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(child<QWidget>(&dialog, "lblMoreThanFive")->isVisible(), c.moreThanFour);
        const int formHeight = twipsToPixels(logic.heights.form, dialog.logicalDpiY());
        EXPECT_GE(dialog.height(), formHeight);
        EXPECT_LE(dialog.height(), std::max(formHeight, dialog.minimumSizeHint().height()) + 1)
            << "no taller than its heights or its content ask";
        if (c.newCard) {
            const QPoint centre = dialog.screen()->availableGeometry().center();
            EXPECT_LE((dialog.geometry().center() - centre).manhattanLength(), 2) << "centred";
        }
    }
}

struct AnswerRow
{
    const char* name;
    QList<ModalScript::Action> actions;
    qint32 choice;
    int dialogsSeen; // the confirmation and the questions over it
};

void PrintTo(const AnswerRow& row, std::ostream* out)
{
    *out << row.name;
}

class ConfirmationAnswers : public Windows, public testing::WithParamInterface<AnswerRow>
{};

TEST_P(ConfirmationAnswers, ComeFromItsButtonsAndCancelAsksFirst)
{
    ModalScript script(GetParam().actions);
    const FUpdateChoice dialog = confirm(phoneChanges(2), 1);
    EXPECT_EQ(dialog.UserChoice, GetParam().choice);
    EXPECT_EQ(script.seen(), GetParam().dialogsSeen);
    EXPECT_EQ(script.unanswered(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

const QString no = QStringLiteral("No");
const QString yes = QStringLiteral("Yes");

INSTANTIATE_TEST_SUITE_P(
    Paths, ConfirmationAnswers,
    testing::Values(
        AnswerRow{"Update", {ModalScript::click(QStringLiteral("cmdOK"))}, 6, 1},
        AnswerRow{"Skip", {ModalScript::click(QStringLiteral("cmdReject"))}, 7, 1},
        AnswerRow{"Update All", {ModalScript::click(QStringLiteral("cmdUpdateAll"))}, 8, 1},
        AnswerRow{"Cancel, No, Skip",
                  {ModalScript::click(QStringLiteral("cmdCancel")), ModalScript::click(no),
                   ModalScript::click(QStringLiteral("cmdReject"))},
                  7,
                  3},
        AnswerRow{"Cancel, Yes",
                  {ModalScript::click(QStringLiteral("cmdCancel")), ModalScript::click(yes)},
                  2,
                  2},
        AnswerRow{"close box, No: shown again by the caller",
                  {ModalScript::escape(), ModalScript::click(no)},
                  0,
                  2},
        AnswerRow{
            "close box, Yes", {[](QWidget& d) { d.close(); }, ModalScript::click(yes)}, 2, 2}));

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
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("3"));
    EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), QStringLiteral("1"));
    EXPECT_EQ(brindleValue(QStringLiteral("CustomField1")), QStringLiteral("3"));
    EXPECT_EQ(brindleValue(QStringLiteral("ShowOutlookWarning")), QStringLiteral("False"));
    EXPECT_EQ(modals.unanswered(), 0);
}

TEST_F(Windows, SummaryClosedByItsFrameEndsTheProgramLikeClose)
{
    startNormally();
    ModalScript modals({ModalScript::click(QStringLiteral("Continue"))});
    child<QAbstractButton>(wizard->chooseActionWindow(), "cmdToVEXO")->click();
    SummaryWindow* summary = wizard->prompts().summaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(textsOf(*summary, "lblFinishHeader"), QStringList{"Import Complete"});
    setBrindleValue(QStringLiteral("LastConnectedDate"), QString());
    summary->close();
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty()) << "settings saved";
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << qPrintable(window->objectName());
    }
}

TEST_F(Windows, ProgressWindowCloseBoxAndCancelDuringARun)
{
    startNormally();
    MMain::gbShowOutlookWarning = false;
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

TEST_F(Windows, EscapeCancelsAfterAskingAndPauseServesEvents)
{
    startNormally();
    MMain::gbShowOutlookWarning = false;
    WidgetProgress& progress = wizard->progress();
    bool buttonsOff = false;
    int served = 0;
    qint64 paused = 0;
    script.during[QStringLiteral("PopulateVEXODataObjects")] = [&](test::FakeSteps&) {
        QTimer::singleShot(0, [&served] { ++served; });
        QElapsedTimer clock;
        clock.start();
        progress.pause(20);
        paused = clock.elapsed();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&progress, &escape); // as the Cancel button
        buttonsOff = !child<QWidget>(&progress, "cmdCancel")->isEnabled() &&
                     !child<QWidget>(&progress, "cmdHelp")->isEnabled();
    };
    ModalScript modals({ModalScript::click(yes)});
    child<QAbstractButton>(wizard->chooseActionWindow(), "cmdToOutlook")->click();
    EXPECT_GE(paused, 20);
    EXPECT_EQ(served, 1) << "the pause serves events";
    EXPECT_TRUE(buttonsOff);
    EXPECT_EQ(script.calls, QStringList{"PopulateVEXODataObjects"});
    EXPECT_EQ(modals.titles, QStringList{"VEXO Brindle"});
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
    EXPECT_EQ(MMain::glCustomField1, 0);
}

TEST_F(Windows, LayoutsSurviveALargerFont)
{
    const QFont original = QApplication::font();
    for (const qreal points : {original.pointSizeF(), original.pointSizeF() * 2}) {
        QFont font = original;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        TearDown();
        SetUp();
        startNormally();
        FOutlookWarning notice;
        NoticeDialog noticeDialog(notice);
        FSummary summaryLogic;
        summaryLogic.SetCaption(false, false);
        SummaryWindow summary(summaryLogic);
        FUpdateChoice choice(prompts);
        choice.setDifferences(phoneChanges(6));
        choice.TransferAction = 1;
        choice.Form_Activate();
        UpdateChoiceDialog choiceDialog(choice);
        const QList<QWidget*> windows{wizard->chooseActionWindow(),
                                      wizard->settingsWindow(),
                                      &wizard->progress(),
                                      &noticeDialog,
                                      &summary,
                                      &choiceDialog};
        for (QWidget* window : windows) {
            window->show();
            QApplication::processEvents();
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                const bool text = qobject_cast<QLabel*>(widget) ||
                                  qobject_cast<QAbstractButton*>(widget) ||
                                  qobject_cast<QComboBox*>(widget);
                if (!text || !widget->isVisible()) {
                    continue;
                }
                const QSize need = widget->minimumSizeHint();
                const int height = widget->hasHeightForWidth()
                                       ? widget->heightForWidth(widget->width())
                                       : need.height();
                EXPECT_GE(widget->width(), need.width())
                    << qPrintable(window->objectName() + '.' + widget->objectName()) << " at "
                    << points;
                EXPECT_GE(widget->height(), height)
                    << qPrintable(window->objectName() + '.' + widget->objectName()) << " at "
                    << points;
                const QRect inWindow(widget->mapTo(window, QPoint()), widget->size());
                EXPECT_TRUE(window->rect().contains(inWindow))
                    << qPrintable(window->objectName() + '.' + widget->objectName());
            }
            window->hide();
        }
    }
    QApplication::setFont(original);
}

TEST_F(Windows, AFailedCheckKeepsTheActionScreenAndItsCloseBoxEndsTheProgram)
{
    startNormally();
    QFile::remove(folder.filePath(QStringLiteral("Company.db")));
    ChooseActionWindow* action = wizard->chooseActionWindow();
    child<QAbstractButton>(action, "cmdToOutlook")->click();
    EXPECT_TRUE(action->isVisible() && action->isEnabled());
    EXPECT_TRUE(child<QWidget>(action, "cmdToOutlook")->isEnabled());
    EXPECT_EQ(action->cursor().shape(), Qt::ArrowCursor) << "the hourglass is gone";
    EXPECT_TRUE(script.calls.isEmpty());

    action->close();
    EXPECT_FALSE(action->isVisible());
    EXPECT_TRUE(MMain::gbExiting);
    EXPECT_FALSE(brindleValue(QStringLiteral("LastConnectedDate")).isEmpty());
}

} // namespace
} // namespace brindle
