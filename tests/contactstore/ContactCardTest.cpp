#include "contactstore/ContactCard.h"

#include "StoreFixture.h"

#include <QDate>

namespace contacts::test {
namespace {

class ContactFields : public StoreFixture
{
protected:
    // The one contact the default folder of a freshly opened store holds.
    std::shared_ptr<ContactItem> reopenOnly()
    {
        Application app(root());
        Items items = defaultFolder(app)->Items();
        EXPECT_EQ(items.Count(), 1);
        return items.Item(1);
    }
};

TEST_F(ContactFields, WrongValuesAndNamesRaiseTheirNumbers)
{
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Add();
    const struct
    {
        const char* property;
        QVariant value;
        qint64 number;
    } cases[] = {
        {"Birthday", "hello", brindle::ErrorNumber::TypeMismatch},
        {"Anniversary", 12, brindle::ErrorNumber::TypeMismatch},
        {"SelectedMailingAddress", 7, brindle::ErrorNumber::TypeMismatch},
        {"SelectedMailingAddress", "home", brindle::ErrorNumber::TypeMismatch},
        {"NoSuchProperty", "x", brindle::ErrorNumber::NoSuchMember},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            errorNumberOf([&] { item->setProperty(QString::fromLatin1(c.property), c.value); }),
            c.number)
            << c.property;
    }
    EXPECT_EQ(errorNumberOf([&] { item->property(QStringLiteral("Nope")); }),
              brindle::ErrorNumber::NoSuchMember);
    EXPECT_EQ(item->property(QStringLiteral("firstname")), QString()) << "names are case-blind";
}

// The formatted name is compared with the composed one it last had: each step
// checks that what is remembered still matches the names after every kind of change.
TEST(ContactCardName, FormattedNameFollowsOnlyWhileItMatchesTheNames)
{
    const struct
    {
        const char* field;
        const char* value;
        const char* fullName;
    } steps[] = {
        {"CompanyName", "Acme", "Acme"},
        {"FirstName", "Jo", "Jo"},
        {"LastName", "Smith", "Jo Smith"},
        {"Title", " Dr ", "Dr Jo Smith"},
        {"FullName", "The Boss", "The Boss"},
        {"FirstName", "Al", "The Boss"},
        {"FullName", "Dr Al Smith", "Dr Al Smith"},
        {"LastName", "Jones;Ltd", "Dr Al Jones;Ltd"},
        {"Suffix", "Jr\nII", "Dr Al Jones;Ltd Jr\r\nII"},
        {"Title", "", "Al Jones;Ltd Jr\r\nII"},
        {"FullName", "", ""},
        {"FirstName", "", "Jones;Ltd Jr\r\nII"},
        {"LastName", "", "Jr\r\nII"},
        {"Suffix", "", "Acme"},
    };
    ContactCard card;
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.field) + " = " + step.value);
        card.set(QString::fromLatin1(step.field), QString::fromLatin1(step.value));
        EXPECT_EQ(card.get(QStringLiteral("FullName")).toString(),
                  QString::fromLatin1(step.fullName));
    }
}

} // namespace
} // namespace contacts::test
