#include "transfer/ContactText.h"

#include "TableFile.h"

namespace brindle {
namespace {

TEST(ContactText, CategoriesAddWhatTheListLacksAndPhonesKeepWhatMatters)
{
    for (const QStringList& row : test::tableRows(QStringLiteral("contact-text.txt"))) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        if (row[0] == u"category") {
            EXPECT_EQ(AddCategory(row[1], row[2]), row[3]);
        } else {
            EXPECT_EQ(FixPhoneCharacters(row[1]), row[2]);
        }
    }
}

} // namespace
} // namespace brindle
