#include "SyncFixture.h"
#include "outlook/ContactSearch.h"
#include "outlook/CustomFieldDate.h"

#include <QMetaProperty>

namespace brindle {
namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using test::Properties;

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

// The person Smith, Jo, customer 12345, with the row's members changed by
// name; "company" makes it the company Acme Ltd, record 7.
CCard cardOf(const Properties& changes, const QList<qint32>& locations)
{
    CCard card = test::card(QStringLiteral("C"), QStringLiteral("Smith"), QStringLiteral("Jo"),
                            QStringLiteral("CUS001"), 12345);
    for (const auto& [member, value] : changes) {
        if (QLatin1String(member) == QLatin1String("company")) {
            card = test::card(QStringLiteral("C"), QStringLiteral("Acme Ltd"), {},
                              QStringLiteral("CUS001"), 7);
            continue;
        }
        const QMetaObject& meta = CCard::staticMetaObject;
        meta.property(meta.indexOfProperty(member)).writeOnGadget(&card, value);
    }
    for (const qint32 location : locations) {
        card.Addresses << address(location);
    }
    return card;
}

struct MappingRow
{
    const char* name;
    Properties card; // members of the card that differ from Smith, Jo
    QList<qint32> addresses;
    Properties before; // the contact before the mapping
    Properties expected;
    std::array<qint32, 3> customFields = {1, 1, 1};
    const char* message = "";
};

void PrintTo(const MappingRow& row, std::ostream* out)
{
    *out << row.name;
}

class MapCardToContact : public test::SyncFixture, public testing::WithParamInterface<MappingRow>
{};

TEST_P(MapCardToContact, WritesTheCardAsTheRulesSay)
{
    const MappingRow& row = GetParam();
    std::tie(program().glCustomField1, program().glCustomField2, program().glCustomField3) =
        std::tuple(row.customFields[0], row.customFields[1], row.customFields[2]);
    CCard card = cardOf(row.card, row.addresses);
    if (card.CardTypeID == QLatin1String("V")) {
        program().gsSupplierWord = QStringLiteral("Vendor");
    }
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

const QString marker = QStringLiteral("\r\n-!VEXO NOTES!-\r\n");
const QString street = QStringLiteral("12 Main St\r\n\r\n\r\n");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, MapCardToContact, testing::Values(
    MappingRow{"a person empties the company name and carries its links", {}, {},
        {{"CompanyName", "Old Co"}},
        {{"LastName", "Smith"}, {"FirstName", "Jo"}, {"CompanyName", ""}, {"CustomerID", "12345"},
         {"User1", "CUS001"}, {"User2", "VEXOC"}, {"User3", "SmiJ345"}, {"Categories", "Customer"},
         {"User4", ""}}},
    MappingRow{"a company leaves the contact's names", {{"company", {}}}, {},
        {{"LastName", "Jones"}, {"FirstName", "Al"}},
        {{"CompanyName", "Acme Ltd"}, {"FileAs", "Acme Ltd"}, {"LastName", "Jones"},
         {"FirstName", "Al"}, {"User3", "Acm007"}}},
    MappingRow{"record IDs beyond 999 keep their last three digits",
        {{"CardRecordID", 40007}, {"LastName", "Li"}}, {}, {},
        {{"User3", "LiJ007"}, {"CustomerID", "40007"}}},
    MappingRow{"the matching key counts characters and cuts no emoji in half",
        {{"LastName", "Ab\U0001F600cd"}, {"FirstName", "\U0001F600Zed"}, {"CardRecordID", 4}}, {}, {},
        {{"User3", "Ab\U0001F600\U0001F600004"}}},
    MappingRow{"card notes follow the contact's own after the marker",
        {{"Notes", "Call weekly"}}, {}, {{"Body", "Met at the fair"}},
        {{"Body", "Met at the fair" + marker + "Call weekly"}}},
    MappingRow{"new card notes replace only the text after the marker",
        {{"Notes", "Call monthly\nGate 4"}}, {}, {{"Body", "Met" + marker + "Call weekly"}},
        {{"Body", "Met" + marker + "Call monthly\r\nGate 4"}}},
    MappingRow{"notes cut at the marker of notes that came from the contacts",
        {{"Notes", "Keep-!OUTLOOK NOTES!-Imported"}}, {}, {}, {{"Body", marker + "Keep"}}},
    MappingRow{"notes made only of such a section remove the marker and what follows",
        {{"Notes", "-!OUTLOOK NOTES!-Imported"}}, {}, {{"Body", "Mine" + marker + "Old"}},
        {{"Body", "Mine\r\n"}}},
    MappingRow{"such notes leave a body without the marker alone",
        {{"Notes", "-!OUTLOOK NOTES!-Imported"}}, {}, {{"Body", "Mine"}}, {{"Body", "Mine"}}},
    MappingRow{"blank notes leave the body alone", {{"Notes", "   "}}, {},
        {{"Body", "Mine" + marker + "Old"}}, {{"Body", "Mine" + marker + "Old"}}},
    MappingRow{"the contact's categories move to User4", {}, {}, {{"Categories", "Friends"}},
        {{"Categories", "Customer"}, {"User4", "Friends"}}},
    MappingRow{"categories added since are merged into User4", {}, {},
        {{"Categories", "Customer, Golf"}, {"User4", "Friends"}},
        {{"Categories", "Customer"}, {"User4", "Friends, Golf"}}},
    MappingRow{"categories the mapping writes never move",
        {{"Identifiers", "AB"}, {"CustomField1", "Gold"}}, {},
        {{"Categories", "Customer, B, A, Gold"}, {"User4", "Friends"}},
        {{"Categories", "Customer, B, A, Gold"}, {"User4", "Friends"}}},
    MappingRow{"identifier letters in reverse, then custom fields set to categories",
        {{"Identifiers", "abC"}, {"CustomField1", "Gold"}, {"CustomField3", "VIP, Net 30"}}, {}, {},
        {{"Categories", "Customer, C, B, A, Gold, VIP, Net 30"}}},
    MappingRow{"a vendor of a United States file", {{"CardTypeID", "V"}}, {}, {},
        {{"Categories", "Vendor"}, {"User2", "VEXOV"}}},
    MappingRow{"a type letter of no type writes no type word", {{"CardTypeID", "X"}}, {},
        {{"Categories", "Customer"}},
        {{"Categories", ""}, {"User2", "VEXOX"}, {"User4", "Customer"}}},
    MappingRow{"custom fields as birthday, anniversary and spouse",
        {{"CustomField1", "05/03/1985"}, {"CustomField2", "1990-12-31"}, {"CustomField3", "Pat"}},
        {}, {},
        {{"Birthday", QDate(1985, 3, 5)}, {"Anniversary", QDate(1990, 12, 31)}, {"Spouse", "Pat"},
         {"Categories", "Customer"}},
        {3, 2, 4}},
    MappingRow{"a custom field that is no date is reported and changes nothing",
        {{"CustomField2", "hello"}}, {}, {{"Birthday", QDate(2000, 1, 1)}},
        {{"Birthday", QDate(2000, 1, 1)}}, {3, 3, 3}, "Custom Field #2 is not a date."},
    MappingRow{"other settings export nothing", {{"CustomField1", "Gold"}}, {}, {},
        {{"Categories", "Customer"}, {"Spouse", ""}}, {0, 5, 0}},
    MappingRow{"a person's first address is the home address", {}, {1}, {},
        {{"HomeAddressStreet", street}, {"HomeAddressCity", "City 1"},
         {"HomeTelephoneNumber", "(02) 9555 1234"}, {"BusinessFaxNumber", "02 9555 0000"},
         {"MobileTelephoneNumber", "0412 345 678"}, {"OtherTelephoneNumber", "02 9555 9999"},
         {"WebPage", "www.smith.example"}, {"Email1Address", "jo@smith.example"},
         {"BusinessAddressCity", ""}, {"SelectedMailingAddress", 1}}},
    MappingRow{"a company's first address is the business address", {{"company", {}}}, {1}, {},
        {{"BusinessAddressCity", "City 1"}, {"BusinessTelephoneNumber", "(02) 9555 1234"},
         {"HomeTelephoneNumber", ""}, {"HomeAddressCity", ""}, {"SelectedMailingAddress", 2}}},
    MappingRow{"the second address is the other address, without its phones", {}, {3, 2},
        {{"MobileTelephoneNumber", "0400"}, {"Email1Address", "old@example.com"}},
        {{"OtherAddressCity", "City 2"}, {"OtherAddressStreet", street},
         {"MobileTelephoneNumber", "0400"}, {"Email1Address", "old@example.com"},
         {"OtherTelephoneNumber", ""}, {"HomeAddressCity", ""}}}),
    [](const testing::TestParamInfo<MappingRow>& info) {
        return QString::fromLatin1(info.param.name)
            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
            .toStdString();
    });
// clang-format on

class FieldCarriage : public test::SyncFixture
{
protected:
    // Exports the card over the contact, then reads it back as a card.
    CCard travel(CCard& card, contacts::ContactItem& contact)
    {
        EXPECT_TRUE(process.MapCardToContact(card, contact));
        contact.Save();
        CCard read;
        EXPECT_TRUE(process.MapContactToCard(contact, read, QStringLiteral("C")));
        return read;
    }

    // Changes one field of the card: does an export write the change, and
    // does the card read back from that contact differ in that field?
    template <typename Record>
    void expectCarried(const TarvoCards::CardField<Record>& field, Record& (*at)(CCard&),
                       unsigned carriedOnImport, unsigned carriedOnExport)
    {
        SCOPED_TRACE(field.name);
        contacts::Application app(store.path());
        const auto contact =
            app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items().Add();
        CCard card = cardOf({}, {1, 2});
        CCard before = travel(card, *contact);
        QString& value = at(card).*field.member;
        const bool flag = field.maxLength == 1; // "Y" or "N"
        value = !flag           ? QStringLiteral("Probe")
                : value == u'Y' ? QStringLiteral("N")
                                : QStringLiteral("Y");
        CCard after = travel(card, *contact);
        EXPECT_EQ(contact->savedChanges(), bool(field.carried & carriedOnExport));
        EXPECT_EQ(at(after).*field.member != at(before).*field.member,
                  bool(field.carried & carriedOnImport));
    }
};

TEST_F(FieldCarriage, EachFieldTravelsWithTheContactWhereTheTableSaysItDoes)
{
    std::tie(program().glCustomField1, program().glCustomField2, program().glCustomField3) =
        std::tuple(1, 1, 1); // custom fields go to the categories
    for (const auto& field : TarvoCards::cardColumns()) {
        expectCarried<CCard>(
            field, [](CCard& card) -> CCard& { return card; }, TarvoCards::OnImport,
            TarvoCards::OnExport);
    }
    for (const auto& field : TarvoCards::addressColumns()) {
        expectCarried<CAddress>(
            field, [](CCard& card) -> CAddress& { return card.Addresses[0]; }, TarvoCards::OnImport,
            TarvoCards::OnExport);
        expectCarried<CAddress>(
            field, [](CCard& card) -> CAddress& { return card.Addresses[1]; },
            TarvoCards::OnOtherAddress, TarvoCards::OnOtherAddress);
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
        Properties card;
        const char* filter;
    } rows[] = {
        {{},
         "([User1] = 'CUS001') OR ([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = "
         "'SmiJ345') OR ([CustomerID] = '12345')"},
        {{{"company", {}}},
         "([User1] = 'CUS001') OR ([CompanyName] = 'Acme Ltd') OR ([User3] = 'Acm007') OR "
         "([CustomerID] = '7')"},
        {{{"CardIdentification", "*none"}},
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {{{"CardIdentification", ""}},
         "([LastName] = 'Smith' And [FirstName] = 'Jo') OR ([User3] = 'SmiJ345') OR ([CustomerID] "
         "= '12345')"},
        {{{"LastName", "O'Neil"}, {"CardIdentification", "O'N'1"}},
         "([User1] = 'O''N''1') OR ([LastName] = 'O''Neil' And [FirstName] = 'Jo') OR ([User3] = "
         "'O''NJ345') OR ([CustomerID] = '12345')"},
        // A company without a name is not searched by name.
        {{{"company", {}}, {"LastName", ""}, {"CardIdentification", ""}},
         "([User3] = '007') OR ([CustomerID] = '7')"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(searchFilter(cardOf(row.card, {})), QString::fromUtf8(row.filter)) << row.filter;
    }
}

} // namespace
} // namespace brindle
