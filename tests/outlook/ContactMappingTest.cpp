#include "SyncFixture.h"
#include "TableFile.h"
#include "outlook/ContactSearch.h"
#include "outlook/CustomFieldDate.h"
#include "transfer/ContactText.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

CAddress address(qint32 location)
{
    CAddress made;
    std::tie(made.Location, made.StreetLine1, made.City, made.Phone1, made.Phone2, made.Phone3,
             made.Fax, made.Email, made.WWW) =
        std::tuple(location, "12 Main St", QString("City %1").arg(location), "(02) 9555 1234",
                   "0412 345 678", "02 9555 9999", "02 9555 0000", "jo@smith.example",
                   "www.smith.example");
    return made;
}

// The person Smith, Jo, customer 12345, with the members changed by name;
// "company=" makes it the company Acme Ltd, record 7.
CCard cardOf(const QString& changes, const QString& locations = {})
{
    CCard card = test::card("C", "Smith", "Jo", "CUS001", 12345);
    for (const auto& [member, value] : test::tablePairs(changes)) {
        if (member == u"company") {
            card = test::card("C", "Acme Ltd", {}, "CUS001", 7);
        } else {
            test::setMember(card, member, value.toString());
        }
    }
    for (const QString& location : locations.split(u' ', Qt::SkipEmptyParts)) {
        card.Addresses << address(location.toInt());
    }
    return card;
}

using MapCardToContact = test::SyncFixture;

TEST_F(MapCardToContact, WritesTheCardAsTheRulesSay)
{
    for (const QStringList& row : test::tableRows("card-to-contact.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        const QStringList fields = row[5].split(u' ');
        std::tie(program().glCustomField1, program().glCustomField2, program().glCustomField3) =
            std::tuple(fields[0].toInt(), fields[1].toInt(), fields[2].toInt());
        CCard card = cardOf(row[1], row[2]);
        program().gsSupplierWord = card.CardTypeID == u"V" ? "Vendor" : "Supplier";
        contacts::Application app(store.path());
        const auto contact = test::contactWith(app, test::tablePairs(row[3]));
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
    for (const QStringList& row : test::tableRows("custom-field-dates.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        QLocale::setDefault(QLocale(row[0]));
        EXPECT_EQ(customFieldDate(row[1]),
                  row[2].isEmpty() ? std::nullopt
                                   : std::optional(QDate::fromString(row[2], Qt::ISODate)));
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(dateText(QDate(1985, 3, 5)) + dateText(QDate()), "3/5/1985");
    QLocale::setDefault(saved);
}

TEST(SearchFilter, NamesEveryWayToTheContactAndQuotesEachValue)
{
    for (const QStringList& row : test::tableRows("search-filters.txt")) {
        EXPECT_EQ(searchFilter(cardOf(row[0])), row[1]);
    }
}

using AreDifferentOutlookContacts = test::SyncFixture;

TEST_F(AreDifferentOutlookContacts, ListsTheChangedPropertiesInTheirOrder)
{
    enableLog();
    for (const QStringList& row : test::tableRows("contact-differences.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        Differences expected;
        for (const auto& [key, values] : test::tablePairs(row[3])) {
            const QString text = values.toString();
            expected.append({key, text.section(u'>', 0, 0), text.section(u'>', 1)});
        }
        contacts::Application app(store.path());
        const auto existing = test::contactWith(app, test::tablePairs(row[1]));
        const auto updated = test::contactWith(app, test::tablePairs(row[2]));
        const qsizetype loggedBefore = logLines().size();
        Differences differences{{"stale", {}, {}}};
        EXPECT_EQ(process.contacts().AreDifferentOutlookContacts(*updated, *existing, differences),
                  !expected.isEmpty());
        EXPECT_EQ(differences, expected);
        const QStringList logged = logLines().mid(loggedBefore);
        ASSERT_EQ(logged.size(), expected.size());
        for (qsizetype i = 0; i < logged.size(); ++i) {
            const Difference& d = expected[i];
            EXPECT_TRUE(logged[i].endsWith(" VEXOBrindle.FProcess.AreDifferentOutlookContacts " +
                                           d.key + " OLD: " + d.existing + "| NEW:" + d.updated +
                                           "| "))
                << logged[i].toStdString();
        }
    }
}

TEST(ContactText, CategoriesAddWhatTheListLacksAndPhonesKeepWhatMatters)
{
    for (const QStringList& row : test::tableRows("contact-text.txt")) {
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
