#include "FakeSteps.h"
#include "ProgramFixture.h"
#include "review/FSummary.h"
#include "review/FUpdateChoice.h"

namespace brindle {
namespace {

using test::phoneChanges;

using TarvoCards::CCard;

class UpdateChoiceTest : public test::ProgramFixture
{
protected:
    FUpdateChoice activated(const Differences& list, qint32 direction, bool newCard = false)
    {
        FUpdateChoice dialog(prompts);
        CCard card;
        card.LastName = QStringLiteral("Acme Traders");
        card.CardIdentification = QStringLiteral("CUS001");
        dialog.objVEXOCard = card;
        dialog.setDifferences(list);
        dialog.TransferAction = direction;
        dialog.NewVEXOCard = newCard;
        MMain::glTransferAction = direction;
        dialog.Form_Activate();
        return dialog;
    }
};

struct LayoutRow
{
    int changes;
    int rowsShown;
    bool moreThanFour;
    qint32 picChangeDetails; // top of the last row shown + 690
};

class UpdateLayout : public UpdateChoiceTest, public testing::WithParamInterface<LayoutRow>
{};

TEST_P(UpdateLayout, ShowsUpToFourRowsAndSizesToTheLast)
{
    const LayoutRow& row = GetParam();
    const FUpdateChoice dialog = activated(phoneChanges(row.changes), 1);
    int shown = 0;
    for (const auto& change : dialog.rows) {
        shown += change.visible ? 1 : 0;
    }
    EXPECT_EQ(shown, row.rowsShown);
    EXPECT_EQ(dialog.lblMoreThanFive.visible, row.moreThanFour);
    EXPECT_EQ(dialog.heights.picChangeDetails, row.picChangeDetails);
    if (row.rowsShown > 0) {
        EXPECT_EQ(dialog.heights.picDetailHeader, 1725);
        EXPECT_EQ(dialog.heights.picChanges, 1725 + row.picChangeDetails);
        EXPECT_EQ(dialog.heights.lblMoreThanFiveTop,
                  FUpdateChoice::picChangesTop + 1725 + row.picChangeDetails + 30);
        EXPECT_EQ(dialog.heights.form, FUpdateChoice::picFinishTop + dialog.heights.picFinish +
                                           2 * FUpdateChoice::picFooterHeight + 30);
        EXPECT_TRUE(dialog.cmdOK.visible && dialog.cmdUpdateAll.visible);
        EXPECT_EQ(dialog.cmdOK.caption, QStringLiteral("Update"));
    }
    EXPECT_EQ(dialog.caption, QStringLiteral("Brindle - Confirm Update of VEXO Card"));
}

INSTANTIATE_TEST_SUITE_P(Changes, UpdateLayout,
                         testing::Values(LayoutRow{0, 0, false, 0}, LayoutRow{1, 1, false, 1050},
                                         LayoutRow{4, 4, false, 2175}, LayoutRow{5, 4, true, 2175},
                                         LayoutRow{6, 4, true, 2175}));

TEST_F(UpdateChoiceTest, BlankNewValuesLeaveOnlySkipAndCancelInAnImport)
{
    Differences list = phoneChanges(4, QString());
    list.append({QStringLiteral("City"), QStringLiteral("Sydney"), QStringLiteral("Newcastle")});
    const FUpdateChoice import = activated(list, 1);
    EXPECT_FALSE(import.cmdOK.visible || import.cmdOK.enabled);
    EXPECT_FALSE(import.cmdUpdateAll.visible || import.cmdUpdateAll.enabled);
    EXPECT_EQ(import.caption, QStringLiteral("Brindle - Warning : Blank Field in Outlook Contact"));
    EXPECT_EQ(import.lblWarning, QStringLiteral("The following Microsoft Outlook contact has blank "
                                                "fields. \r\nThese fields will not be updated in "
                                                "your VEXO cards. Click Skip to continue."));

    const FUpdateChoice exported = activated(list, 2);
    EXPECT_TRUE(exported.cmdOK.visible && exported.cmdUpdateAll.visible);
    EXPECT_EQ(exported.caption, QStringLiteral("Brindle - Confirm Update to Outlook Contact"));
    EXPECT_TRUE(exported.lblWarning.isEmpty()) << "no contact to head the dialog";

    const FUpdateChoice oneFilled = activated(phoneChanges(2, QStringLiteral("x")), 1);
    EXPECT_TRUE(oneFilled.cmdOK.visible);
}

TEST_F(UpdateChoiceTest, ANewCardIsAddedWithoutChangeRows)
{
    const FUpdateChoice dialog = activated(phoneChanges(3), 1, true);
    EXPECT_EQ(dialog.caption, QStringLiteral("Brindle - Confirm Addition of VEXO Card"));
    EXPECT_EQ(dialog.cmdOK.caption, QStringLiteral("Add"));
    EXPECT_FALSE(dialog.cmdUpdateAll.visible);
    EXPECT_TRUE(std::none_of(dialog.rows.begin(), dialog.rows.end(),
                             [](const auto& row) { return row.visible; }));
    EXPECT_EQ(dialog.heights.form, 4170);
    EXPECT_EQ(dialog.heights.picDetailHeader, 1395);
    EXPECT_EQ(dialog.heights.picFinish, 2115);
    EXPECT_TRUE(dialog.heights.centred);
    EXPECT_EQ(dialog.lblWarning, QStringLiteral("The following Outlook contact does not exist in "
                                                "your VEXO cards. \r\nClick Add, to add this "
                                                "contact to your VEXO cards."));
}

TEST_F(UpdateChoiceTest, HeaderShowsACompanyOrAPerson)
{
    const FUpdateChoice company = activated(phoneChanges(1), 1);
    EXPECT_EQ(company.lblLastName.caption, QStringLiteral("Company Name"));
    EXPECT_FALSE(company.lblFirstName.visible || company.txtFirstName.visible);
    EXPECT_EQ(company.txtLastName.caption, QStringLiteral("Acme Traders"));
    EXPECT_EQ(company.txtCardIdentification.caption, QStringLiteral("CUS001"));

    FUpdateChoice person(prompts);
    CCard card;
    card.IsIndividual = QStringLiteral("Y");
    card.LastName = QStringLiteral("Smith");
    card.FirstName = QStringLiteral("Jo");
    person.objVEXOCard = card;
    person.TransferAction = 1;
    person.Form_Activate();
    EXPECT_EQ(person.lblLastName.caption, QStringLiteral("Last Name"));
    EXPECT_TRUE(person.txtFirstName.visible);
    EXPECT_EQ(person.txtFirstName.caption, QStringLiteral("Jo"));
}

TEST_F(UpdateChoiceTest, ValuesAreCleanedAndKeysCaptioned)
{
    const FUpdateChoice dialog =
        activated({{QStringLiteral(".BusinessAddressStreet"), QStringLiteral("  12 Main St\r\n"),
                    QStringLiteral("\t12 main st")},
                   {QStringLiteral("WWW"), {}, QStringLiteral("x")},
                   {QStringLiteral("IsIndividual"), {}, QStringLiteral("Y")},
                   {QStringLiteral("Phone1"), {}, QStringLiteral("1")}},
                  1);
    EXPECT_EQ(dialog.rows[0].label, QStringLiteral("Business Address Street"));
    EXPECT_EQ(dialog.rows[0].existing, QStringLiteral("12 MAIN ST"));
    EXPECT_EQ(dialog.rows[0].updated, QStringLiteral("12 MAIN ST"));
    EXPECT_EQ(dialog.rows[1].label, QStringLiteral("WWW"));
    EXPECT_EQ(dialog.rows[2].label, QStringLiteral("Is Individual"));
    EXPECT_EQ(dialog.rows[3].label, QStringLiteral("Phone1"));
    EXPECT_EQ(FUpdateChoice::String2LabelCaption(QStringLiteral("CardIdentification")),
              QStringLiteral("Card Identification"));
    EXPECT_EQ(FUpdateChoice::String2LabelCaption(QStringLiteral("StreetLine1")),
              QStringLiteral("Street Line1"));
}

TEST_F(UpdateChoiceTest, ButtonsAnswerAndCancelAsksFirst)
{
    FUpdateChoice dialog = activated(phoneChanges(1), 1);
    prompts.answers << Prompts::No << Prompts::Yes;
    dialog.cmdCancel_Click();
    EXPECT_EQ(dialog.UserChoice, FUpdateChoice::NoAnswer);
    EXPECT_FALSE(dialog.hidden) << "No keeps the dialog open";
    dialog.cmdCancel_Click();
    EXPECT_EQ(dialog.UserChoice, FUpdateChoice::CancelRun);
    EXPECT_TRUE(dialog.hidden);
    EXPECT_EQ(prompts.messages.last().text, QStringLiteral("Cancel this operation? "));

    dialog.Form_Activate();
    EXPECT_EQ(dialog.UserChoice, FUpdateChoice::NoAnswer) << "each showing starts unanswered";
    EXPECT_FALSE(dialog.hidden);
    dialog.cmdUpdateAll_Click();
    EXPECT_EQ(dialog.UserChoice, FUpdateChoice::UpdateAll);
}

struct SummaryRow
{
    qint32 direction;
    bool userCancelled;
    bool applicationCancelled;
    const char* heading;
    const char* body;
};

class SummaryCaptions : public test::ProgramFixture, public testing::WithParamInterface<SummaryRow>
{};

TEST_P(SummaryCaptions, FollowTheDirectionAndTheOutcome)
{
    const SummaryRow& row = GetParam();
    MMain::glTransferAction = row.direction;
    FSummary summary;
    summary.SetCaption(row.userCancelled, row.applicationCancelled);
    summary.UpdateCounters(row.applicationCancelled);
    EXPECT_EQ(summary.lblFinishHeader, QLatin1String(row.heading));
    EXPECT_EQ(summary.lblFinishBody, QLatin1String(row.body));
    const bool exporting = row.direction == 2;
    EXPECT_EQ(summary.caption, exporting ? QStringLiteral("Brindle - Export Summary")
                                         : QStringLiteral("Brindle - Import Summary"));
    EXPECT_EQ(summary.transferred.label,
              exporting ? QStringLiteral("Added") : QStringLiteral("Updated or added"));
    EXPECT_EQ(summary.updated.unit, exporting ? QStringLiteral("duplicate contacts")
                                              : QStringLiteral("cards with warnings"));
    EXPECT_EQ(summary.rejected.label,
              exporting ? QStringLiteral("Rejected") : QStringLiteral("Skipped"));
    EXPECT_EQ(summary.rejected.unit,
              exporting ? QStringLiteral("cards") : QStringLiteral("contacts"));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, SummaryCaptions,
    testing::Values(
        SummaryRow{1, false, false, "Import Complete", "Your VEXO cards are updated."},
        SummaryRow{2, false, false, "Export Complete", "Your Outlook contacts are updated."},
        SummaryRow{1, true, false, "Import Cancelled",
                   "Details in your VEXO cards may be incomplete."},
        SummaryRow{2, false, true, "Export Cancelled",
                   "Details in your Outlook contacts may be incomplete."},
        SummaryRow{0, false, false, "Import Complete", "Your VEXO cards are updated."}));

class SummaryTest : public test::ProgramFixture
{};

TEST_F(SummaryTest, HeadingOnlyChangesWhileItHoldsItsPlaceholder)
{
    MMain::glTransferAction = 1;
    FSummary summary;
    summary.SetCaption(false, false);
    summary.UpdateCounters(true);
    EXPECT_EQ(summary.lblFinishHeader, QStringLiteral("Import - Application Cancelled"));
    summary.SetCaption(true, false);
    EXPECT_EQ(summary.lblFinishHeader, QStringLiteral("Import - Application Cancelled"));
}

} // namespace
} // namespace brindle
