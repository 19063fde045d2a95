#include "startup/CardType.h"

#include "cardlib/Collections.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

struct NamesRow
{
    CardType type;
    const char* supplierWord;
    const char* letter;
    const char* word;
    const char* folder;
    qint32 reportCode;
    const char* collectionLetter;
};

void PrintTo(const NamesRow& row, std::ostream* out)
{
    *out << row.letter << " with supplier word \"" << row.supplierWord << '"';
}

class CardTypeNames : public testing::TestWithParam<NamesRow>
{};

TEST_P(CardTypeNames, EveryNameOfTheType)
{
    const NamesRow& row = GetParam();
    const QString supplierWord = QString::fromLatin1(row.supplierWord);
    EXPECT_EQ(row.type.letter(supplierWord), QLatin1String(row.letter));
    EXPECT_EQ(row.type.word(supplierWord), QLatin1String(row.word));
    EXPECT_EQ(row.type.recognisedWord(supplierWord), QString::fromLatin1(row.word).toUpper());
    EXPECT_EQ(row.type.folderName(supplierWord), QLatin1String(row.folder));
    EXPECT_EQ(row.type.reportCode(), row.reportCode);
    EXPECT_EQ(CardType::fromReportCode(row.reportCode), row.type);
    EXPECT_EQ(row.type.newCollection()->cardTypeId(), QLatin1String(row.collectionLetter));
}

INSTANTIATE_TEST_SUITE_P(
    Types, CardTypeNames,
    testing::Values(
        NamesRow{CardType::Customer, "Supplier", "C", "Customer", "VEXO Customers", 1, "C"},
        NamesRow{CardType::Supplier, "Supplier", "S", "Supplier", "VEXO Suppliers", 2, "S"},
        NamesRow{CardType::Supplier, "Vendor", "V", "Vendor", "VEXO Vendors", 2, "S"},
        NamesRow{CardType::Supplier, "", "S", "", "VEXO s", 2, "S"},
        NamesRow{CardType::Employee, "Vendor", "E", "Employee", "VEXO Employees", 4, "E"},
        NamesRow{CardType::Personal, "Vendor", "P", "Personal", "VEXO Personal", 3, "P"}),
    [](const testing::TestParamInfo<NamesRow>& info) {
        return std::string(info.param.word[0] ? info.param.word : "NoWord");
    });

TEST(CardType, LettersInAnyCaseAndNothingElse)
{
    const struct
    {
        const char* letter;
        std::optional<CardType> type;
    } rows[] = {{"C", CardType::Customer}, {"c", CardType::Customer}, {"S", CardType::Supplier},
                {"v", CardType::Supplier}, {"E", CardType::Employee}, {"p", CardType::Personal},
                {"e", CardType::Employee}, {"", std::nullopt},        {"X", std::nullopt},
                {" C", std::nullopt},      {"CS", std::nullopt}};
    for (const auto& row : rows) {
        EXPECT_EQ(CardType::fromLetter(QString::fromLatin1(row.letter)), row.type) << row.letter;
        EXPECT_EQ(reportCodeOf(QString::fromLatin1(row.letter)),
                  row.type ? row.type->reportCode() : 0)
            << row.letter;
    }
    EXPECT_EQ(CardType::fromReportCode(0), std::nullopt);
}

TEST(CardType, SupplierWordFollowsTheCountry)
{
    EXPECT_EQ(CardType::supplierWordOf(1), QLatin1String("Supplier"));
    EXPECT_EQ(CardType::supplierWordOf(2), QLatin1String("Vendor"));
    EXPECT_EQ(CardType::supplierWordOf(0), QLatin1String("Supplier"));
    EXPECT_EQ(CardType::supplierWordOf(3), QLatin1String("Supplier"));
}

TEST(CardType, SelectionFollowsItsOwnSwitch)
{
    const CardType types[] = {CardType::Customer, CardType::Supplier, CardType::Employee,
                              CardType::Personal};
    for (int on = 0; on < 4; ++on) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(types[i].selectedBy(on == 0, on == 1, on == 2, on == 3), i == on);
        }
    }
}

} // namespace
} // namespace brindle
