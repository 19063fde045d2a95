#include "StoreFixture.h"

namespace contacts::test {
namespace {

using brindle::ErrorNumber::CannotParse;

class ContactFind : public StoreFixture
{
protected:
    void SetUp() override
    {
        m_folder = defaultFolder(m_app);
        addContact(*m_folder, {{"LastName", "O'Neil"},
                               {"FirstName", "Jo"},
                               {"User1", "CUS001"},
                               {"CustomerID", "12345"}});
        addContact(*m_folder, {{"LastName", "Smith"}, {"FirstName", "Jo"}, {"User3", "SmiJ345"}});
        addContact(*m_folder, {{"CompanyName", "Acme Traders"}, {"CustomerID", "7"}});
        addContact(*m_folder, {{"LastName", "smith"}, {"FirstName", "JO"}, {"CustomerID", "8"}});
    }

    // Who Find answers with, as "LastName|CompanyName", or "none".
    QString found(const QString& filter)
    {
        const std::shared_ptr<ContactItem> item = m_folder->Items().Find(filter);
        return item ? item->property(QStringLiteral("LastName")).toString() + u'|' +
                          item->property(QStringLiteral("CompanyName")).toString() + u'|' +
                          item->property(QStringLiteral("CustomerID")).toString()
                    : QStringLiteral("none");
    }

    Application m_app{root()};
    std::shared_ptr<Folder> m_folder;
};

TEST_F(ContactFind, FiltersOfTheExport)
{
    const struct
    {
        const char* filter;
        const char* expected;
    } cases[] = {
        {"([User1] = 'CUS001')", "O'Neil||12345"},
        {"([User1] = 'cus001')", "O'Neil||12345"},
        {"([LastName] = 'O''Neil' And [FirstName] = 'Jo')", "O'Neil||12345"},
        {"([LastName] = 'O''Neil' And [FirstName] = 'Ann')", "none"},
        {"([CompanyName] = 'ACME TRADERS')", "|Acme Traders|7"},
        {"([CustomerID] = '8')", "smith||8"},
        {"([User1] = 'NONE') OR ([LastName] = 'Smith' And [FirstName] = 'Jo') OR "
         "([User3] = 'x') OR ([CustomerID] = '8')",
         "Smith||"},
        {"([User1] = 'NONE') OR ([User3] = 'SMIJ345')", "Smith||"},
        {"([CustomerID] = '8') OR ([User3] = 'SmiJ345')", "Smith||"},
        {"[lastname]='Smith' and ([firstname]=\"jo\" or [User1] = 'q')", "Smith||"},
        {"([CustomerID] = '999')", "none"},
        {"([User2] = '')", "O'Neil||12345"},
        {"([User1] = '' And [FirstName] = 'jo')", "Smith||"},
        {"(((((((((([CustomerID] = '8'))))))))))", "smith||8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(found(QString::fromUtf8(c.filter)), QString::fromUtf8(c.expected)) << c.filter;
    }
}

TEST_F(ContactFind, FiltersItCannotReadRaiseCannotParse)
{
    const char* const filters[] = {
        "",
        "[LastName] = Smith",
        "([LastName] = 'Smith'",
        "[LastName] <> 'Smith'",
        "[NoSuchField] = 'x'",
        "[LastName] = 'unterminated",
        "[LastName] = 'a' AND",
        "[LastName] = 'a' XOR [FirstName] = 'b'",
        "[LastName] = 'a' ORx [FirstName] = 'b'",
    };
    for (const char* filter : filters) {
        EXPECT_EQ(errorNumberOf([&] { m_folder->Items().Find(QString::fromUtf8(filter)); }),
                  CannotParse)
            << filter;
    }
}

TEST_F(ContactFind, IndexFollowsSavesButNotUnsavedChanges)
{
    std::shared_ptr<ContactItem> item =
        m_folder->Items().Find(QStringLiteral("[CustomerID] = '7'"));
    ASSERT_TRUE(item);
    item->setProperty(QStringLiteral("CustomerID"), QStringLiteral("70"));
    EXPECT_EQ(found(QStringLiteral("[CustomerID] = '70'")), QStringLiteral("none"));
    item->Save();
    EXPECT_EQ(found(QStringLiteral("[CustomerID] = '7'")), QStringLiteral("none"));
    EXPECT_EQ(found(QStringLiteral("[CustomerID] = '70'")), QStringLiteral("|Acme Traders|70"));

    std::shared_ptr<ContactItem> added = m_folder->Items().Add();
    added->setProperty(QStringLiteral("User1"), QStringLiteral("NEW"));
    EXPECT_FALSE(m_folder->Items().Find(QStringLiteral("[User1] = 'NEW'")));
    EXPECT_EQ(m_folder->Items().Count(), 4);
    added->Save();
    EXPECT_EQ(m_folder->Items().Find(QStringLiteral("[User1] = 'NEW'")), added);
    EXPECT_EQ(m_folder->Items().Count(), 5);
}

// The index is made on the first Find, from the files, whatever changed since.
TEST_F(ContactFind, IndexMadeAfterUnsavedChangesHoldsTheSavedValues)
{
    std::shared_ptr<ContactItem> acme = m_folder->Items().Item(3);
    acme->setProperty(QStringLiteral("CustomerID"), QStringLiteral("70"));
    EXPECT_EQ(found(QStringLiteral("[CustomerID] = '70'")), QStringLiteral("none"));
    EXPECT_EQ(m_folder->Items().Find(QStringLiteral("[CustomerID] = '7'")), acme);

    Application other(root());
    Items items = defaultFolder(other)->Items();
    for (int i = 1; i <= items.Count(); ++i) {
        items.Item(i)->setProperty(QStringLiteral("User4"), QStringLiteral("walked"));
    }
    EXPECT_FALSE(items.Find(QStringLiteral("[User4] = 'walked'")));
    EXPECT_TRUE(items.Find(QStringLiteral("[CustomerID] = '8'")));
}

// Each property is indexed when a filter first names it, with the values
// saved until then, and follows the saves after.
TEST_F(ContactFind, APropertyIndexedLateHoldsEverySavedValue)
{
    EXPECT_EQ(found(QStringLiteral("[CustomerID] = '7'")), QStringLiteral("|Acme Traders|7"));
    std::shared_ptr<ContactItem> smith = m_folder->Items().Item(2);
    smith->setProperty(QStringLiteral("User3"), QStringLiteral("Moved"));
    smith->Save();
    std::shared_ptr<ContactItem> added = m_folder->Items().Add();
    added->setProperty(QStringLiteral("LastName"), QStringLiteral("Newman"));
    added->setProperty(QStringLiteral("CustomerID"), QStringLiteral("9"));
    added->Save();
    EXPECT_EQ(found(QStringLiteral("[User3] = 'SmiJ345'")), QStringLiteral("none"));
    EXPECT_EQ(found(QStringLiteral("[User3] = 'moved'")), QStringLiteral("Smith||"));
    EXPECT_EQ(found(QStringLiteral("[LastName] = 'Newman' And [CustomerID] = '9'")),
              QStringLiteral("Newman||9"));
    added->setProperty(QStringLiteral("LastName"), QStringLiteral("Oldman"));
    added->Save();
    EXPECT_EQ(found(QStringLiteral("[LastName] = 'Newman'")), QStringLiteral("none"));
    EXPECT_EQ(found(QStringLiteral("[LastName] = 'Oldman' Or [User1] = 'x'")),
              QStringLiteral("Oldman||9"));
}

// A store opened afresh lists its files in name order; Find follows that order.
TEST_F(ContactFind, ReopenedStoreAnswersInFileNameOrder)
{
    QStringList smiths;
    for (const std::shared_ptr<ContactItem> item : m_folder->Items()) {
        if (item->property(QStringLiteral("LastName")).toString().toLower() == u"smith") {
            smiths += item->fileName();
        }
    }
    ASSERT_EQ(smiths.size(), 2);
    smiths.sort();
    Application other(root());
    const std::shared_ptr<ContactItem> item =
        defaultFolder(other)->Items().Find(QStringLiteral("([LastName] = 'SMITH')"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->fileName(), smiths.first());
}

} // namespace
} // namespace contacts::test
