#include "AccountingFixture.h"
#include "accounting/CardRules.h"
#include "contactstore/Application.h"
#include "contactstore/Folder.h"
#include "contactstore/Items.h"
#include "samples/ContactStoreGenerator.h"

#include <QTemporaryDir>
#include <initializer_list>

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

using Values = std::initializer_list<std::pair<const char*, const char*>>;

struct ContactRow
{
    const char* name;
    Values contact;
    const char* type;
    // IsIndividual|LastName|FirstName|CardIdentification|CardRecordID|Notes
    const char* card;
    // StreetLine1/2/3/4|City|Phone1|Phone2|Fax|WWW|Email of address 1
    const char* first;
    // StreetLine1/2/3/4|City|State|Postcode|Country of address 2
    const char* other = "///||||";
};

QString cardText(const CCard& card)
{
    return QStringList{card.IsIndividual,
                       card.LastName,
                       card.FirstName,
                       card.CardIdentification,
                       QString::number(card.CardRecordID),
                       card.Notes}
        .join(QLatin1Char('|'));
}

QString streetText(const CAddress& a)
{
    return QStringList{a.StreetLine1, a.StreetLine2, a.StreetLine3, a.StreetLine4}.join(u'/');
}

class MapContact : public test::AccountingFixture
{
protected:
    void SetUp() override
    {
        AccountingFixture::SetUp();
        ASSERT_TRUE(store.isValid());
        existing({test::card("C", "Linked", "", "", 123)});
    }

    std::shared_ptr<contacts::ContactItem> contact(Values values)
    {
        auto item = folder()->Items().Add();
        for (const auto& [name, value] : values) {
            item->setProperty(QString::fromLatin1(name), QString::fromUtf8(value));
        }
        return item;
    }
    std::shared_ptr<contacts::Folder> folder()
    {
        return app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
    }

    QTemporaryDir store;
    contacts::Application app{store.path()};
};

TEST_F(MapContact, ContactsBecomeCardsFieldByField)
{
    // clang-format off
    const ContactRow rows[] = {
        {"company with The at the end",
         {{"CompanyName", "Smith, The"}, {"FirstName", "Jo"}, {"BusinessAddressCity", "Perth"}, {"HomeAddressCity", "Home"}},
         "C", "N|The Smith|||0|", "///|Perth|||||"},
        {"company with The in front", {{"CompanyName", "The Smith"}}, "C", "N|The Smith|||0|", "///||||||"},
        {"person: home address and phone, business fax",
         {{"LastName", "Ng"}, {"FirstName", "Mai"}, {"HomeAddressStreet", "1 Home St"}, {"HomeAddressCity", "Hobart"},
          {"HomeTelephoneNumber", "111"}, {"BusinessTelephoneNumber", "999"}, {"BusinessFaxNumber", "222"},
          {"MobileTelephoneNumber", "0400"}, {"WebPage", "www.ng.example"}, {"Email1Address", "mai@ng.example"},
          {"BusinessAddressStreet", "9 Work Rd"}},
         "P", "Y|Ng|Mai||0|", "1 Home St/ / / |Hobart|111|0400|222|www.ng.example|mai@ng.example"},
        {"tabs removed", {{"CompanyName", "Acme\tCo"}, {"BusinessAddressCity", "Al\tbany"}}, "S", "N|AcmeCo|||0|", "///|Albany|||||"},
        {"street lines of both addresses, any line break",
         {{"LastName", "Ng"}, {"HomeAddressStreet", "Level 3\n12 King St"}, {"OtherAddressStreet", "PO Box 1\r\n\r\nRear"},
          {"OtherAddressCity", "Darwin"}, {"OtherAddressState", "NT"}, {"OtherAddressPostalCode", "0800"},
          {"OtherAddressCountry", "Australia"}},
         "C", "Y|Ng|||0|", "Level 3/12 King St/ / ||||||", "PO Box 1/ /Rear/ |Darwin|NT|0800|Australia"},
        {"link kept within the type", {{"LastName", "Ng"}, {"CustomerID", "123"}}, "C", "Y|Ng|||123|", "///||||||"},
        {"link dropped for another type", {{"LastName", "Ng"}, {"CustomerID", "123"}}, "S", "Y|Ng|||0|", "///||||||"},
        {"link that is no number", {{"LastName", "Ng"}, {"CustomerID", "12a"}}, "C", "Y|Ng|||0|", "///||||||"},
        {"identification as it is, notes cut at the marker",
         {{"LastName", "Ng"}, {"User1", " CUS1 "}, {"Body", "Call Tuesday -!VEXO NOTES!-older notes"}},
         "C", "Y|Ng|| CUS1 |0|Call Tuesday ", "///||||||"},
    };
    // clang-format on
    for (const ContactRow& row : rows) {
        SCOPED_TRACE(row.name);
        CCard card;
        ASSERT_TRUE(process.companyFile.MapContactToCard(*contact(row.contact), card,
                                                         QString::fromLatin1(row.type)));
        EXPECT_EQ(card.CardTypeID, QString::fromLatin1(row.type));
        EXPECT_EQ(cardText(card), QString::fromUtf8(row.card));
        ASSERT_EQ(card.Addresses.size(), 5);
        const CAddress& first = card.Addresses[0];
        EXPECT_EQ(QStringList({streetText(first), first.City, first.Phone1, first.Phone2, first.Fax,
                               first.WWW, first.Email})
                      .join(u'|'),
                  QString::fromUtf8(row.first));
        const CAddress& other = card.Addresses[1];
        EXPECT_EQ(QStringList({streetText(other), other.City, other.State, other.Postcode,
                               other.Country, other.Email})
                      .join(u'|'),
                  QString::fromUtf8(row.other) + QLatin1Char('|'));
        for (qint32 location = 1; location <= 5; ++location) {
            EXPECT_EQ(card.Addresses[location - 1].Location, location);
        }
        EXPECT_TRUE(card.IsInactive.isEmpty()) << "the card's own flag stays";
        EXPECT_TRUE(card.TransferMessage.isEmpty());
    }
}

TEST_F(MapContact, ItemsThatAreNoContactsAreMarkedUnreadable)
{
    enableLog();
    samples::writeContactStore(store.path(), {4, samples::ContactStoreOptions::Layout::Categories});
    contacts::Application reopened(store.path());
    int unreadable = 0;
    const auto items = reopened.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items();
    for (int i = 1; i <= items.Count(); ++i) {
        CCard card;
        if (!process.companyFile.MapContactToCard(*items.Item(i), card, QStringLiteral("C"))) {
            ++unreadable;
            EXPECT_EQ(card.TransferMessage, unreadableContact);
            EXPECT_EQ(card.ContactFile, items.Item(i)->fileName()) << "what a report names";
        }
    }
    EXPECT_EQ(unreadable, 2) << "the group card and the damaged file";
    EXPECT_FALSE(process.UserCancelled()) << "an item that is no contact is no refusal";
    EXPECT_EQ(logLines()
                  .filter(QStringLiteral("VEXOBrindle.FProcess.MapContactToCard Error : 438"))
                  .size(),
              2);
}

} // namespace
} // namespace brindle
