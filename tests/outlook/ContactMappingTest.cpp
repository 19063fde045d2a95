#include "ExportFixture.h"
#include "outlook/ContactSearch.h"
#include "outlook/CustomFieldDate.h"

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using test::Properties;

const QString notesMarker = QStringLiteral("\r\n-!VEXO NOTES!-\r\n");

CAddress address(qint32 location, const QString& city)
{
    CAddress made;
    made.Location = location;
    made.StreetLine1 = QStringLiteral("12 Main St");
    made.City = city;
    made.State = QStringLiteral("NSW");
    made.Postcode = QStringLiteral("2000");
    made.Country = QStringLiteral("Australia");
    made.Phone1 = QStringLiteral("(02) 9555 1234");
    made.Phone2 = QStringLiteral("0412 345 678");
    made.Phone3 = QStringLiteral("02 9555 9999");
    made.Fax = QStringLiteral("02 9555 0000");
    made.Email = QStringLiteral("jo@smith.example");
    made.WWW = QStringLiteral("www.smith.example");
    return made;
}

CCard company(CCard card)
{
    card.IsIndividual = QStringLiteral("N");
    card.LastName = QStringLiteral("Acme Ltd");
    card.FirstName.clear();
    card.CardRecordID = 7;
    return card;
}

struct MappingRow
{
    const char* name;
    std::function<CCard(CCard)> card; // changes the person Smith, Jo, customer 12345
    Properties before;                // the contact before the mapping
    Properties expected;
    std::array<qint32, 3> customFields = {1, 1, 1};
    const char* message = "";
};

void PrintTo(const MappingRow& row, std::ostream* out)
{
    *out << row.name;
}

class MapCardToContact : public test::ExportFixture, public testing::WithParamInterface<MappingRow>
{};

TEST_P(MapCardToContact, WritesTheCardAsTheRulesSay)
{
    const MappingRow& row = GetParam();
    std::tie(MMain::glCustomField1, MMain::glCustomField2, MMain::glCustomField3) =
        std::tuple(row.customFields[0], row.customFields[1], row.customFields[2]);
    CCard card = test::card(QStringLiteral("C"), QStringLiteral("Smith"), QStringLiteral("Jo"),
                            QStringLiteral("CUS001"), 12345);
    card = row.card(card);
    contacts::Application app(store.path());
    const auto contact =
        app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items().Add();
    for (const auto& [name, value] : row.before) {
        contact->setProperty(QString::fromLatin1(name), value);
    }
    EXPECT_TRUE(process.MapCardToContact(card, *contact));
    for (const auto& [name, value] : row.expected) {
        EXPECT_EQ(contact->property(QString::fromLatin1(name)), value) << name;
    }
    EXPECT_EQ(card.TransferMessage, QString::fromUtf8(row.message));
}

const auto same = [](CCard card) { return card; };

INSTANTIATE_TEST_SUITE_P(
    Rules, MapCardToContact,
    testing::Values(
        MappingRow{"a person empties the company name and carries its links",
                   same,
                   {{"CompanyName", "Old Co"}},
                   {{"LastName", "Smith"},
                    {"FirstName", "Jo"},
                    {"CompanyName", ""},
                    {"CustomerID", "12345"},
                    {"User1", "CUS001"},
                    {"User2", "VEXOC"},
                    {"User3", "SmiJ345"},
                    {"Categories", "Customer"},
                    {"User4", ""}}},
        MappingRow{"a company leaves the contact's names",
                   company,
                   {{"LastName", "Jones"}, {"FirstName", "Al"}},
                   {{"CompanyName", "Acme Ltd"},
                    {"FileAs", "Acme Ltd"},
                    {"LastName", "Jones"},
                    {"FirstName", "Al"},
                    {"User3", "Acm007"}}},
        MappingRow{"record IDs beyond 999 keep their last three digits",
                   [](CCard card) {
                       card.CardRecordID = 40007;
                       card.LastName = QStringLiteral("Li");
                       return card;
                   },
                   {},
                   {{"User3", "LiJ007"}, {"CustomerID", "40007"}}},
        MappingRow{"card notes follow the contact's own after the marker",
                   [](CCard card) {
                       card.Notes = QStringLiteral("Call weekly");
                       return card;
                   },
                   {{"Body", "Met at the fair"}},
                   {{"Body", "Met at the fair" + notesMarker + "Call weekly"}}},
        MappingRow{"new card notes replace only the text after the marker",
                   [](CCard card) {
                       card.Notes = QStringLiteral("Call monthly\nGate 4");
                       return card;
                   },
                   {{"Body", "Met at the fair" + notesMarker + "Call weekly"}},
                   {{"Body", "Met at the fair" + notesMarker + "Call monthly\r\nGate 4"}}},
        MappingRow{"notes cut at the marker of notes that came from the contacts",
                   [](CCard card) {
                       card.Notes = QStringLiteral("Keep-!OUTLOOK NOTES!-Imported");
                       return card;
                   },
                   {},
                   {{"Body", notesMarker + "Keep"}}},
        MappingRow{"notes made only of such a section remove the marker and what follows",
                   [](CCard card) {
                       card.Notes = QStringLiteral("-!OUTLOOK NOTES!-Imported");
                       return card;
                   },
                   {{"Body", "Mine" + notesMarker + "Old"}},
                   {{"Body", "Mine\r\n"}}},
        MappingRow{"such notes leave a body without the marker alone",
                   [](CCard card) {
                       card.Notes = QStringLiteral("-!OUTLOOK NOTES!-Imported");
                       return card;
                   },
                   {{"Body", "Mine"}},
                   {{"Body", "Mine"}}},
        MappingRow{"blank notes leave the body alone",
                   [](CCard card) {
                       card.Notes = QStringLiteral("   ");
                       return card;
                   },
                   {{"Body", "Mine" + notesMarker + "Old"}},
                   {{"Body", "Mine" + notesMarker + "Old"}}},
        MappingRow{"the contact's categories move to User4",
                   same,
                   {{"Categories", "Friends"}},
                   {{"Categories", "Customer"}, {"User4", "Friends"}}},
        MappingRow{"categories added since are merged into User4",
                   same,
                   {{"Categories", "Customer, Golf"}, {"User4", "Friends"}},
                   {{"Categories", "Customer"}, {"User4", "Friends, Golf"}}},
        MappingRow{"categories the mapping writes never move",
                   [](CCard card) {
                       card.Identifiers = QStringLiteral("AB");
                       card.CustomField1 = QStringLiteral("Gold");
                       return card;
                   },
                   {{"Categories", "Customer, B, A, Gold"}, {"User4", "Friends"}},
                   {{"Categories", "Customer, B, A, Gold"}, {"User4", "Friends"}}},
        MappingRow{"identifier letters in reverse, then custom fields set to categories",
                   [](CCard card) {
                       card.Identifiers = QStringLiteral("abC");
                       card.CustomField1 = QStringLiteral("Gold");
                       card.CustomField3 = QStringLiteral("VIP, Net 30");
                       return card;
                   },
                   {},
                   {{"Categories", "Customer, C, B, A, Gold, VIP, Net 30"}}},
        MappingRow{"a vendor of a United States file",
                   [](CCard card) {
                       MMain::gsSupplierWord = QStringLiteral("Vendor");
                       card.CardTypeID = QStringLiteral("V");
                       return card;
                   },
                   {},
                   {{"Categories", "Vendor"}, {"User2", "VEXOV"}}},
        MappingRow{"a type letter of no type writes no type word",
                   [](CCard card) {
                       card.CardTypeID = QStringLiteral("X");
                       return card;
                   },
                   {{"Categories", "Customer"}},
                   {{"Categories", ""}, {"User2", "VEXOX"}, {"User4", "Customer"}}},
        MappingRow{"custom fields as birthday, anniversary and spouse",
                   [](CCard card) {
                       card.CustomField1 = QStringLiteral("05/03/1985");
                       card.CustomField2 = QStringLiteral("1990-12-31");
                       card.CustomField3 = QStringLiteral("Pat");
                       return card;
                   },
                   {},
                   {{"Birthday", QDate(1985, 3, 5)},
                    {"Anniversary", QDate(1990, 12, 31)},
                    {"Spouse", "Pat"},
                    {"Categories", "Customer"}},
                   {3, 2, 4}},
        MappingRow{"a custom field that is no date is reported and changes nothing",
                   [](CCard card) {
                       card.CustomField2 = QStringLiteral("hello");
                       return card;
                   },
                   {{"Birthday", QDate(2000, 1, 1)}},
                   {{"Birthday", QDate(2000, 1, 1)}},
                   {3, 3, 3},
                   "Custom Field #2 is not a date."},
        MappingRow{"other settings export nothing",
                   [](CCard card) {
                       card.CustomField1 = QStringLiteral("Gold");
                       return card;
                   },
                   {},
                   {{"Categories", "Customer"}, {"Spouse", ""}},
                   {0, 5, 0}},
        MappingRow{"a person's first address is the home address",
                   [](CCard card) {
                       card.Addresses << address(1, QStringLiteral("Sydney"));
                       return card;
                   },
                   {},
                   {{"HomeAddressStreet", "12 Main St\r\n\r\n\r\n"},
                    {"HomeAddressCity", "Sydney"},
                    {"HomeAddressState", "NSW"},
                    {"HomeAddressPostalCode", "2000"},
                    {"HomeAddressCountry", "Australia"},
                    {"HomeTelephoneNumber", "(02) 9555 1234"},
                    {"BusinessFaxNumber", "02 9555 0000"},
                    {"MobileTelephoneNumber", "0412 345 678"},
                    {"OtherTelephoneNumber", "02 9555 9999"},
                    {"WebPage", "www.smith.example"},
                    {"Email1Address", "jo@smith.example"},
                    {"BusinessAddressCity", ""},
                    {"SelectedMailingAddress", 1}}},
        MappingRow{"a company's first address is the business address",
                   [](CCard card) {
                       card = company(card);
                       card.Addresses << address(1, QStringLiteral("Sydney"));
                       return card;
                   },
                   {},
                   {{"BusinessAddressCity", "Sydney"},
                    {"BusinessTelephoneNumber", "(02) 9555 1234"},
                    {"HomeTelephoneNumber", ""},
                    {"HomeAddressCity", ""},
                    {"SelectedMailingAddress", 2}}},
        MappingRow{"the second address is the other address, without its phones",
                   [](CCard card) {
                       card.Addresses << address(3, QStringLiteral("Perth"))
                                      << address(2, QStringLiteral("Hobart"));
                       return card;
                   },
                   {{"MobileTelephoneNumber", "0400"}, {"Email1Address", "old@example.com"}},
                   {{"OtherAddressCity", "Hobart"},
                    {"OtherAddressStreet", "12 Main St\r\n\r\n\r\n"},
                    {"MobileTelephoneNumber", "0400"},
                    {"Email1Address", "old@example.com"},
                    {"OtherTelephoneNumber", ""},
                    {"HomeAddressCity", ""}}}),
    [](const testing::TestParamInfo<MappingRow>& info) {
        return QString::fromLatin1(info.param.name)
            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
            .toStdString();
    });

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
    CCard person = test::card(QStringLiteral("C"), QStringLiteral("Smith"), QStringLiteral("Jo"),
                              QStringLiteral("CUS001"), 12345);
    const struct
    {
        const char* name;
        std::function<CCard(CCard)> card;
        const char* filter;
    } rows[] = {
        {"a person with an identification", same,
         "([User1] = 'CUS001') OR ([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = "
         "'SmiJ345') OR ([CustomerID] = '12345')"},
        {"a company", company,
         "([User1] = 'CUS001') OR ([CompanyName] = 'Acme Ltd') OR ([User3] = 'Acm007') OR "
         "([CustomerID] = '7')"},
        {"*None in any case",
         [](CCard card) {
             card.CardIdentification = QStringLiteral("*none");
             return card;
         },
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {"no identification",
         [](CCard card) {
             card.CardIdentification.clear();
             return card;
         },
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {"apostrophes doubled",
         [](CCard card) {
             card.LastName = QStringLiteral("O'Neil");
             card.CardIdentification = QStringLiteral("O'N'1");
             return card;
         },
         "([User1] = 'O''N''1') OR ([LastName] = 'O''Neil' And [FirstName] = 'Jo') OR ([User3] = "
         "'O''NJ345') OR ([CustomerID] = '12345')"},
        {"a company without a name is not searched by name",
         [](CCard card) {
             card = company(card);
             card.LastName.clear();
             card.CardIdentification.clear();
             return card;
         },
         "([User3] = '007') OR ([CustomerID] = '7')"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(searchFilter(row.card(person)), QString::fromUtf8(row.filter)) << row.name;
    }
}

} // namespace
} // namespace brindle
