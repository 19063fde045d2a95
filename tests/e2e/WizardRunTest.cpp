// The wizard on Qt's offscreen platform, driven by clicks through real runs
// on a sample company file and the contacts an earlier export made.
#include "ChildWidget.h"
#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "Sandbox.h"
#include "screens/ChooseActionWindow.h"
#include "screens/ModalScript.h"
#include "screens/SettingsWindow.h"
#include "screens/SummaryWindow.h"
#include "screens/Wizard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace brindle::test {
namespace {

// The summary's title and heading, then each row as caption|value|unit.
QStringList summaryTexts(const SummaryWindow& summary)
{
    const auto text = [&summary](const QString& name) {
        const auto* label = summary.findChild<QLabel*>(name);
        return label ? label->text() : summary.findChild<QLineEdit*>(name)->text();
    };
    QStringList texts{summary.windowTitle(), text("lblFinishHeader")};
    for (const QString row : {"Transferred", "Updated", "Rejected"}) {
        texts << text("lbl" + row) + u'|' + text("txt" + row) + u'|' + text("lbl" + row + "Cards");
    }
    return texts;
}

class WizardRun : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        sandbox = std::make_unique<Sandbox>(folder.path());
        qputenv("BRINDLE_CONTACTS", sandbox->store.toUtf8());
        sandbox->makeCompanyFile(120);
        ASSERT_EQ(sandbox->run("export").exitCode, 0);
        wizard = std::make_unique<Wizard>(context, settings);
        ASSERT_TRUE(wizard->start(sandbox->options()));
        action = wizard->chooseActionWindow();
        ASSERT_TRUE(action->isVisible());
    }
    void TearDown() override
    {
        wizard.reset();
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    std::unique_ptr<Sandbox> sandbox;
    std::unique_ptr<Wizard> wizard;
    ChooseActionWindow* action = nullptr;
};

// Three suppliers have moved and two customers are new: the first changed
// contact is confirmed with Update All, which answers for the others.
TEST_F(WizardRun, ExportConfirmedWithUpdateAll)
{
    RawFile(sandbox->companyFile)
        .exec("UPDATE Addresses SET City = 'Alice Springs' WHERE Location = 1 "
              "AND CardRecordID IN (SELECT CardRecordID FROM Cards WHERE "
              "CardTypeID = 'S' AND IsInactive = 'N' ORDER BY CardRecordID "
              "LIMIT 3)");
    RawFile(sandbox->companyFile).addCard("C", "Oakridge Mills");
    RawFile(sandbox->companyFile).addCard("C", "Pinecrest Foods");
    const int cards = countCards(sandbox->companyFile);
    const StoreFiles before = storeFiles(sandbox->store);

    child<QComboBox>(action, "cboRulesFilter")->setCurrentIndex(2); // Ask me to confirm updates
    child(action, "cmdSettings")->click();
    ASSERT_TRUE(wizard->settingsWindow()->isVisible());
    child(wizard->settingsWindow(), "cmdAccept")->click();
    ASSERT_TRUE(action->isVisible());
    ModalScript modals({ModalScript::click("Update All")});
    child(action, "cmdToOutlook")->click();

    EXPECT_EQ(modals.titles, QStringList{"Brindle - Confirm Update to Outlook Contact"});
    EXPECT_EQ(modals.unanswered(), 0);
    EXPECT_FALSE(wizard->progress().isVisible());
    SummaryWindow* summary = wizard->prompts().summaryWindow();
    ASSERT_TRUE(summary && summary->isVisible());
    EXPECT_EQ(summaryTexts(*summary),
              (QStringList{"Brindle - Export Summary", "Export Complete",
                           u"Added|2 of %1|new contacts"_s.arg(cards),
                           u"Updated|%1|duplicate contacts"_s.arg(cards - 2), "Rejected|0|cards"}));

    const StoreFiles after = storeFiles(sandbox->store);
    const QStringList changed = changedKeys(before, after);
    EXPECT_EQ(changed.size(), 5) << qPrintable(changed.join(u'\n'));
    EXPECT_EQ(std::ranges::count_if(
                  after, [](auto& file) { return file.bytes.contains("Alice Springs"); }),
              3);
    EXPECT_TRUE(QFile::exists(folder.filePath("OutlookImport.html")));

    // The program ends with every window gone and the settings written back.
    setBrindleValue("LastConnectedDate", QString());
    child(summary, "cmdClose")->click();
    EXPECT_TRUE(settings.gbExiting);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << qPrintable(window->objectName());
    }
    EXPECT_FALSE(brindleValue("LastConnectedDate").isEmpty());
    EXPECT_EQ(brindleValue("RulesFilter"), "3");
    EXPECT_EQ(brindleValue("DisableOutlookFolders"), "0");
}

} // namespace
} // namespace brindle::test
