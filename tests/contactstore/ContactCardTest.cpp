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

} // namespace
} // namespace contacts::test
