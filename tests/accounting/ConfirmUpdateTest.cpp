#include "AccountingFixture.h"

namespace brindle {
namespace {

class ConfirmUpdateTest : public test::AccountingFixture
{};

TEST_F(ConfirmUpdateTest, ShowsTheDialogAgainUntilItIsAnswered)
{
    TarvoCards::CCard card;
    card.LastName = QStringLiteral("Smith");
    const Differences list{{QStringLiteral("LastName"), QStringLiteral("Smyth"), card.LastName}};
    // The close box answered No leaves no answer; the dialog comes back.
    prompts.choices << test::ScriptedPrompts::CloseBox << FUpdateChoice::Skip;
    prompts.answers << Prompts::No;

    EXPECT_EQ(process.state.ConfirmUpdate(card, nullptr, list, 1, false), FUpdateChoice::Skip);
    ASSERT_EQ(prompts.shown.size(), 2);
    for (const FUpdateChoice& shown : prompts.shown) {
        EXPECT_EQ(shown.txtLastName.caption, QStringLiteral("Smith"));
        EXPECT_EQ(shown.rows[0].label, QStringLiteral("Last Name"));
        EXPECT_EQ(shown.TransferAction, 1);
    }
}

TEST_F(ConfirmUpdateTest, AFailingDialogGivesNoAnswerAndIsLogged)
{
    enableLog();
    TarvoCards::CCard card;
    EXPECT_EQ(process.state.ConfirmUpdate(card, nullptr, {}, 2, false), FUpdateChoice::NoAnswer);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("VEXOBrindle.FProcess.ConfirmUpdate Error : ")))
        << qPrintable(lines[0]);
}

} // namespace
} // namespace brindle
