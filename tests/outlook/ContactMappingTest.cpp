#include "SyncFixture.h"
#include "TableFile.h"
#include "outlook/ContactSearch.h"
#include "outlook/CustomFieldDate.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

CAddress address(qint32 location)
{
    CAddress made;
    made.Location = location;
    made.StreetLine1 = QStringLiteral("12 Main St");
    made.City = QStringLiteral("City %1").arg(location);
    made.Phone1 = QStringLiteral("(02) 9555 1234");
    made.Phone2 = QStringLiteral("0412 345 678");
    made.Phone3 = QStringLiteral("02 9555 9999");
    made.Fax = QStringLiteral("02 9555 0000");
    made.Email = QStringLiteral("jo@smith.example");
    made.WWW = QStringLiteral("www.smith.example");
    return made;
}

// The person Smith, Jo, customer 12345, with the members changed by name;
// "company=" makes it the company Acme Ltd, record 7.
CCard cardOf(const QString& changes, const QString& locations = {})
{
    CCard card = test::card(QStringLiteral("C"), QStringLiteral("Smith"), QStringLiteral("Jo"),
                            QStringLiteral("CUS001"), 12345);
    for (const auto& [member, value] : test::tablePairs(changes)) {
        if (member == u"company") {
            card = test::card(QStringLiteral("C"), QStringLiteral("Acme Ltd"), {},
                              QStringLiteral("CUS001"), 7);
        } else {
            test::setMember(card, member, value.toString());
        }
    }
    for (const QString& location : locations.split(u' ', Qt::SkipEmptyParts)) {
        card.Addresses << address(location.toInt());
    }
    return card;
}

class MapCardToContact : public test::SyncFixture
{};

TEST_F(MapCardToContact, WritesTheCardAsTheRulesSay)
{
    for (const QStringList& row : test::tableRows(QStringLiteral("card-to-contact.txt"))) {
        SCOPED_TRACE(row[0].toStdString());
        const QStringList fields = row[5].split(u' ');
        std::tie(program().glCustomField1, program().glCustomField2, program().glCustomField3) =
            std::tuple(fields[0].toInt(), fields[1].toInt(), fields[2].toInt());
        CCard card = cardOf(row[1], row[2]);
        program().gsSupplierWord =
            card.CardTypeID == u"V" ? QStringLiteral("Vendor") : QStringLiteral("Supplier");
        contacts::Application app(store.path());
        const auto contact =
            app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items().Add();
        for (const auto& [name, value] : test::tablePairs(row[3])) {
            contact->setProperty(name, value);
        }
        EXPECT_TRUE(process.contacts().MapCardToContact(card, *contact));
        for (const auto& [name, value] : test::tablePairs(row[4])) {
            EXPECT_EQ(contact->property(name).toString(), value.toString()) << qPrintable(name);
        }
        EXPECT_EQ(card.TransferMessage, row[6]);
    }
}

TEST(CustomFieldDate, ReadsTheLocaleShortAndLongFormatsAndIso)
{
    const QLocale saved;
    for (const QStringList& row : test::tableRows(QStringLiteral("custom-field-dates.txt"))) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        QLocale::setDefault(QLocale(row[0]));
        EXPECT_EQ(customFieldDate(row[1]),
                  row[2].isEmpty() ? std::nullopt
                                   : std::optional(QDate::fromString(row[2], Qt::ISODate)));
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(dateText(QDate(1985, 3, 5)), QStringLiteral("3/5/1985"));
    EXPECT_EQ(dateText(QDate()), QString());
    QLocale::setDefault(saved);
}

TEST(SearchFilter, NamesEveryWayToTheContactAndQuotesEachValue)
{
    for (const QStringList& row : test::tableRows(QStringLiteral("search-filters.txt"))) {
        EXPECT_EQ(searchFilter(cardOf(row[0])), row[1]);
    }
}

} // namespace
} // namespace brindle
