#include "AccountingFixture.h"
#include "TableFile.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

QString cardText(const CCard& card)
{
    return QStringList({card.IsIndividual, card.LastName, card.FirstName, card.CardIdentification,
                        QString::number(card.CardRecordID), card.Notes})
        .join(u'|');
}

using MapContact = test::AccountingFixture;

TEST_F(MapContact, ContactsBecomeCardsFieldByField)
{
    existing({test::card("C", "Linked", "", "", 123)});
    QTemporaryDir store;
    contacts::Application app(store.path());
    for (const QStringList& row : test::tableRows("contact-to-card.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        CCard card;
        ASSERT_TRUE(process.companyFile.MapContactToCard(
            *test::contactWith(app, test::tablePairs(row[1])), card, row[2]));
        EXPECT_EQ(card.CardTypeID, row[2]);
        EXPECT_EQ(cardText(card), row[3]);
        ASSERT_EQ(card.Addresses.size(), 5);
        const CAddress& first = card.Addresses[0];
        EXPECT_EQ(QStringList({test::streetText(first), first.City, first.Phone1, first.Phone2,
                               first.Fax, first.WWW, first.Email})
                      .join(u'|'),
                  row[4]);
        const CAddress& other = card.Addresses[1];
        EXPECT_EQ(QStringList({test::streetText(other), other.City, other.State, other.Postcode,
                               other.Country, other.Email})
                      .join(u'|'),
                  row[5] + '|');
        for (qint32 location = 1; location <= 5; ++location) {
            EXPECT_EQ(card.Addresses[location - 1].Location, location);
        }
        EXPECT_TRUE(card.IsInactive.isEmpty()) << "the card's own flag stays";
        EXPECT_TRUE(card.TransferMessage.isEmpty());
    }
}

} // namespace
} // namespace brindle
