#include "startup/CardType.h"

#include "TableFile.h"
#include "cardlib/Collections.h"

namespace brindle {
namespace {

TEST(CardType, EveryNameOfTheTypeALetterStandsFor)
{
    for (const QStringList& row : test::tableRows("cardtypes.txt")) {
        const std::optional<CardType> type = CardType::fromLetter(row[0]);
        const qint32 code = reportCodeOf(row[0]);
        EXPECT_EQ(code, row[5].toInt()) << row[0].toStdString();
        if (!type) {
            EXPECT_EQ(code, 0) << row[0].toStdString();
            continue;
        }
        const QString& supplierWord = row[1];
        const QStringList names{type->letter(supplierWord), type->word(supplierWord),
                                type->folderName(supplierWord),
                                type->newCollection()->cardTypeId()};
        EXPECT_EQ(names, (QStringList{row[2], row[3], row[4], row[6]}));
        EXPECT_EQ(type->recognisedWord(supplierWord), row[3].toUpper());
        EXPECT_EQ(CardType::fromReportCode(code), type);
    }
    EXPECT_EQ(CardType::fromReportCode(0), std::nullopt);
}

} // namespace
} // namespace brindle
