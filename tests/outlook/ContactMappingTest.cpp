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
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct
    {
        QLocale locale;
        const char* text;
        QDate date; // null: not a date
    } rows[] = {
        {british, "05/03/1985", QDate(1985, 3, 5)},
        {british, " 05/03/1985 ", QDate(1985, 3, 5)},
        {british, "Tuesday, 5 March 1985", QDate(1985, 3, 5)},
        {british, "1985-03-05", QDate(1985, 3, 5)},
        {british, "03/31/1985", QDate()},
        {british, "31/02/1985", QDate()},
        {american, "03/05/1985", QDate(1985, 3, 5)},
        {american, "3/5/85", QDate(1985, 3, 5)},
        {american, "Tuesday, March 5, 1985", QDate(1985, 3, 5)},
        {german, "05.03.1985", QDate(1985, 3, 5)},
        {german, "05.03.85", QDate(1985, 3, 5)},
        {german, "Dienstag, 5. März 1985", QDate(1985, 3, 5)},
        {german, "05/03/1985", QDate()},
        {british, "hello", QDate()},
        {british, "", QDate()},
    };
    const QLocale saved;
    for (const auto& row : rows) {
        QLocale::setDefault(row.locale);
        const std::optional<QDate> read = customFieldDate(QString::fromUtf8(row.text));
        EXPECT_EQ(read.value_or(QDate()), row.date)
            << row.locale.name().toStdString() << " " << row.text;
        EXPECT_EQ(read.has_value(), row.date.isValid());
    }
    QLocale::setDefault(american);
    EXPECT_EQ(dateText(QDate(1985, 3, 5)), QStringLiteral("3/5/1985"));
    EXPECT_EQ(dateText(QDate()), QString());
    QLocale::setDefault(saved);
}

TEST(SearchFilter, NamesEveryWayToTheContactAndQuotesEachValue)
{
    const struct
    {
        const char* card;
        const char* filter;
    } rows[] = {
        {"", "([User1] = 'CUS001') OR ([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = "
             "'SmiJ345') OR ([CustomerID] = '12345')"},
        {"company=",
         "([User1] = 'CUS001') OR ([CompanyName] = 'Acme Ltd') OR ([User3] = 'Acm007') OR "
         "([CustomerID] = '7')"},
        {"CardIdentification=*none",
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {"CardIdentification=",
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {"LastName=O'Neil; CardIdentification=O'N'1",
         "([User1] = 'O''N''1') OR ([LastName] = 'O''Neil' And [FirstName] = 'Jo') OR ([User3] = "
         "'O''NJ345') OR ([CustomerID] = '12345')"},
        // A company without a name is not searched by name.
        {"company=; LastName=; CardIdentification=", "([User3] = '007') OR ([CustomerID] = '7')"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(searchFilter(cardOf(QString::fromUtf8(row.card))), QString::fromUtf8(row.filter))
            << row.filter;
    }
}

} // namespace
} // namespace brindle
