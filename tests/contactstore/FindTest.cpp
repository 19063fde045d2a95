#include "StoreFixture.h"
#include "TableFile.h"

namespace contacts::test {
namespace {

using brindle::ErrorNumber::CannotParse;

class ContactFind : public StoreFixture
{
protected:
    void SetUp() override
    {
        addContact(*m_contacts, {{"LastName", "O'Neil"},
                                 {"FirstName", "Jo"},
                                 {"User1", "CUS001"},
                                 {"CustomerID", "12345"}});
        addContact(*m_contacts, {{"LastName", "Smith"}, {"FirstName", "Jo"}, {"User3", "SmiJ345"}});
        addContact(*m_contacts, {{"CompanyName", "Acme Traders"}, {"CustomerID", "7"}});
        addContact(*m_contacts, {{"LastName", "smith"}, {"FirstName", "JO"}, {"CustomerID", "8"}});
    }

    // Who Find answers with, as "LastName|CompanyName", or "none".
    QString found(const QString& filter)
    {
        const std::shared_ptr<ContactItem> item = m_contacts->Items().Find(filter);
        return item ? item->property("LastName").toString() + u'|' +
                          item->property("CompanyName").toString() + u'|' +
                          item->property("CustomerID").toString()
                    : QStringLiteral("none");
    }
};

TEST_F(ContactFind, FiltersOfTheExportAndFiltersItCannotRead)
{
    for (const QStringList& row : brindle::test::tableRows("filters.txt")) {
        if (row[1] == u"error") {
            EXPECT_EQ(errorNumberOf([&] { m_contacts->Items().Find(row[0]); }), CannotParse)
                << row[0].toStdString();
        } else {
            EXPECT_EQ(found(row[0]), row[1]) << row[0].toStdString();
        }
    }
}

// Items read before the properties were named, after, and never: each
// filter finds what it finds in a folder read by Find alone.
TEST_F(ContactFind, PropertiesIndexedAsReadFindAsFindAloneWould)
{
    Application plain(root());
    Application hinted(root());
    const Items items = defaultFolder(hinted)->Items();
    items.Item(1)->Class();
    items.indexAsRead({"CustomerID", "LastName"});
    items.Item(2)->Class();
    const auto fileOf = [](const std::shared_ptr<ContactItem>& item) {
        return item ? item->fileName() : QStringLiteral("none");
    };
    for (const QStringList& row : brindle::test::tableRows("filters.txt")) {
        if (row[1] != u"error") {
            EXPECT_EQ(fileOf(items.Find(row[0])),
                      fileOf(defaultFolder(plain)->Items().Find(row[0])))
                << row[0].toStdString();
        }
    }
}

TEST_F(ContactFind, IndexFollowsSavesButNotUnsavedChanges)
{
    std::shared_ptr<ContactItem> item = m_contacts->Items().Find("[CustomerID] = '7'");
    ASSERT_TRUE(item);
    item->setProperty("CustomerID", "70");
    EXPECT_EQ(found("[CustomerID] = '70'"), "none");
    item->Save();
    EXPECT_EQ(found("[CustomerID] = '7'"), "none");
    EXPECT_EQ(found("[CustomerID] = '70'"), "|Acme Traders|70");

    std::shared_ptr<ContactItem> added = m_contacts->Items().Add();
    added->setProperty("User1", "NEW");
    EXPECT_FALSE(m_contacts->Items().Find("[User1] = 'NEW'"));
    EXPECT_EQ(m_contacts->Items().Count(), 4);
    added->Save();
    EXPECT_EQ(m_contacts->Items().Find("[User1] = 'NEW'"), added);
    EXPECT_EQ(m_contacts->Items().Count(), 5);
}

} // namespace
} // namespace contacts::test
