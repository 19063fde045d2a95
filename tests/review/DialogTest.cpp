#include "FakeSteps.h"
#include "ProgramFixture.h"
#include "dialogs/FSummary.h"
#include "dialogs/FUpdateChoice.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

using test::phoneChanges;

class UpdateChoiceTest : public test::ProgramFixture
{
protected:
    FUpdateChoice activated(const Differences& list, qint32 direction, bool newCard = false,
                            const char* firstName = "")
    {
        FUpdateChoice dialog(prompts);
        CCard card;
        card.LastName = "Acme Traders";
        card.FirstName = QLatin1String(firstName);
        card.IsIndividual = card.FirstName.isEmpty() ? "N" : "Y";
        dialog.objVEXOCard = card;
        dialog.setDifferences(list);
        dialog.TransferAction = direction;
        dialog.NewVEXOCard = newCard;
        settings.glTransferAction = direction;
        dialog.Form_Activate();
        return dialog;
    }
};

// Which rows and buttons each case shows; the window only renders them.
TEST_F(UpdateChoiceTest, ShowsTheRowsAndButtonsOfItsCase)
{
    const struct
    {
        const char* name;
        Differences changes;
        qint32 direction;
        bool newCard;
        int rows;
        bool moreThanFour;
        bool update; // Update and Update All offered
        const char* okCaption;
    } cases[] = {
        {"one change", phoneChanges(1), 1, false, 1, false, true, "Update"},
        {"four changes", phoneChanges(4), 1, false, 4, false, true, "Update"},
        {"five changes", phoneChanges(5), 2, false, 4, true, true, "Update"},
        {"new card", phoneChanges(3), 1, true, 0, false, false, "Add"},
        // The fifth change is not shown, so its value does not count.
        {"blank shown values, import",
         phoneChanges(4, {}) + Differences{{"City", "Sydney", "Newcastle"}}, 1, false, 4, true,
         false, "Update"},
        {"blank new values, export", phoneChanges(4, {}), 2, false, 4, false, true, "Update"},
        {"one new value", phoneChanges(2, "x"), 1, false, 2, false, true, "Update"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FUpdateChoice dialog = activated(c.changes, c.direction, c.newCard);
        EXPECT_EQ(std::count_if(dialog.rows.begin(), dialog.rows.end(),
                                [](const auto& row) { return row.visible; }),
                  c.rows);
        EXPECT_EQ(dialog.lblMoreThanFive.visible, c.moreThanFour);
        EXPECT_EQ(dialog.cmdUpdateAll.visible && dialog.cmdUpdateAll.enabled, c.update);
        EXPECT_EQ(dialog.cmdOK.caption, QLatin1String(c.okCaption));
        EXPECT_EQ(dialog.heights.centred, c.newCard);
    }
}

TEST_F(UpdateChoiceTest, HeaderAndRowsShowCleanedValuesUnderCaptionedKeys)
{
    const FUpdateChoice company =
        activated({{".BusinessAddressStreet", "  12 Main St\r\n", "\t12 main st"},
                   {"WWW", {}, "x"},
                   {"IsIndividual", {}, "Y"},
                   {"Phone1", {}, "1"}},
                  1);
    const QStringList expected{"Business Address Street|12 MAIN ST|12 MAIN ST", "WWW||X",
                               "Is Individual||Y", "Phone1||1"};
    for (int i = 0; i < 4; ++i) {
        const auto& row = company.rows[size_t(i)];
        EXPECT_EQ(row.label + '|' + row.existing + '|' + row.updated, expected[i]);
    }
    EXPECT_FALSE(company.txtFirstName.visible);
    EXPECT_EQ(company.txtLastName.caption, "Acme Traders");
    const FUpdateChoice person = activated(phoneChanges(1), 1, false, "Jo");
    EXPECT_TRUE(person.txtFirstName.visible);
    EXPECT_EQ(person.txtFirstName.caption, "Jo");
    EXPECT_NE(person.lblLastName.caption, company.lblLastName.caption);
}

// The heading is made of the direction and the outcome; once cancelled it stays so.
TEST_F(UpdateChoiceTest, SummaryHeadingFollowsTheDirectionAndTheOutcome)
{
    const struct
    {
        qint32 direction;
        bool userCancelled;
        bool applicationCancelled;
        const char* heading;
    } rows[] = {{1, false, false, "Import Complete"},
                {2, false, false, "Export Complete"},
                {0, false, false, "Import Complete"},
                {1, true, false, "Import Cancelled"},
                {2, false, true, "Export Cancelled"}};
    for (const auto& row : rows) {
        settings.glTransferAction = row.direction;
        FSummary summary{context, settings};
        summary.SetCaption(row.userCancelled, row.applicationCancelled);
        summary.UpdateCounters(row.applicationCancelled);
        EXPECT_EQ(summary.lblFinishHeader, QLatin1String(row.heading)) << row.heading;
    }
    settings.glTransferAction = 1;
    FSummary summary{context, settings};
    summary.SetCaption(false, false);
    summary.UpdateCounters(true);
    EXPECT_EQ(summary.lblFinishHeader, "Import - Application Cancelled");
    summary.SetCaption(true, false);
    EXPECT_EQ(summary.lblFinishHeader, "Import - Application Cancelled");
    FSummary userCancelled{context, settings};
    userCancelled.SetCaption(false, false);
    userCancelled.UserCancelled = true;
    userCancelled.UpdateCounters(false);
    EXPECT_EQ(userCancelled.lblFinishHeader, "Import - User Cancelled");
}

} // namespace
} // namespace brindle
