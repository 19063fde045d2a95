#include "FakeSteps.h"
#include "ReportTestSupport.h"
#include "TableFile.h"
#include "dialogs/FSummary.h"
#include "dialogs/FUpdateChoice.h"

namespace brindle {
namespace {

using test::phoneChanges;

class UpdateChoiceTest : public test::ProgramFixture
{
protected:
    FUpdateChoice activated(const Differences& list, qint32 direction, bool newCard = false,
                            const char* firstName = "")
    {
        FUpdateChoice dialog(prompts);
        dialog.objVEXOCard = testing::card({}, "Acme Traders", firstName);
        dialog.setDifferences(list);
        dialog.TransferAction = direction;
        dialog.NewVEXOCard = newCard;
        settings.glTransferAction = direction;
        dialog.Form_Activate();
        return dialog;
    }
};

// The changes of a table field: "name=old/new; ...".
Differences differences(const QString& field)
{
    Differences list;
    for (const auto& [key, change] : test::tablePairs(field)) {
        list.append(
            {key, change.toString().section(u'/', 0, 0), change.toString().section(u'/', 1)});
    }
    return list;
}

// Which rows and buttons each case shows; the window only renders them.
TEST_F(UpdateChoiceTest, ShowsTheRowsAndButtonsOfItsCase)
{
    for (const QStringList& c : test::tableRows("update-choice.txt")) {
        SCOPED_TRACE(c.join(u'|').toStdString());
        const FUpdateChoice dialog = activated(differences(c[0]), c[1].toInt(), c[2] == u"True");
        EXPECT_EQ(std::count_if(dialog.rows.begin(), dialog.rows.end(),
                                [](const auto& row) { return row.visible; }),
                  c[3].toInt());
        EXPECT_EQ(dialog.lblMoreThanFive.visible, c[4] == u"True");
        EXPECT_EQ(dialog.cmdUpdateAll.visible && dialog.cmdUpdateAll.enabled, c[5] == u"True");
        EXPECT_EQ(dialog.cmdOK.caption, c[6]);
        EXPECT_EQ(dialog.heights.centred, c[2] == u"True");
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

TEST_F(UpdateChoiceTest, SummaryHeadingFollowsTheDirectionAndTheOutcome)
{
    for (const QStringList& row : test::tableRows("summary-headings.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        settings.glTransferAction = row[0].toInt();
        FSummary summary{context, settings};
        summary.SetCaption(row[1] == u"True", row[2] == u"True");
        summary.UserCancelled = row[3] == u"True";
        summary.UpdateCounters(row[4] == u"True");
        EXPECT_EQ(summary.lblFinishHeader, row[5]);
        summary.SetCaption(true, false); // once cancelled, it stays so
        EXPECT_TRUE(!row[5].contains(u"Cancelled") || summary.lblFinishHeader == row[5]);
    }
}

} // namespace
} // namespace brindle
