#include "SyncFixture.h"

namespace brindle {
namespace {

using test::Properties;

struct ComparisonRow
{
    const char* name;
    Properties existing;
    Properties updated;
    Differences differences;
};

void PrintTo(const ComparisonRow& row, std::ostream* out)
{
    *out << row.name;
}

class AreDifferentOutlookContacts : public test::SyncFixture,
                                    public testing::WithParamInterface<ComparisonRow>
{
protected:
    std::shared_ptr<contacts::ContactItem> contact(contacts::Application& app,
                                                   const Properties& properties)
    {
        const auto item =
            app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10)->Items().Add();
        for (const auto& [name, value] : properties) {
            item->setProperty(QString::fromLatin1(name), value);
        }
        return item;
    }
};

TEST_P(AreDifferentOutlookContacts, ListsTheChangedPropertiesInTheirOrder)
{
    const ComparisonRow& row = GetParam();
    enableLog();
    contacts::Application app(store.path());
    const auto existing = contact(app, row.existing);
    const auto updated = contact(app, row.updated);
    Differences differences{{QStringLiteral("stale"), {}, {}}};
    EXPECT_EQ(process.contacts().AreDifferentOutlookContacts(*updated, *existing, differences),
              !row.differences.isEmpty());
    EXPECT_EQ(differences, row.differences);
    const QStringList logged = logLines().filter(QStringLiteral("AreDifferentOutlookContacts"));
    ASSERT_EQ(logged.size(), row.differences.size());
    for (qsizetype i = 0; i < logged.size(); ++i) {
        const Difference& d = row.differences[i];
        EXPECT_TRUE(logged[i].endsWith(
            QStringLiteral(" VEXOBrindle.FProcess.AreDifferentOutlookContacts %1 OLD: %2| NEW:%3| ")
                .arg(d.key, d.existing, d.updated)))
            << logged[i].toStdString();
    }
}

const Properties acme = {{"CompanyName", "Acme"}};

const QString body = QStringLiteral("Met\r\n-!VEXO NOTES!-\r\nCall weekly");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, AreDifferentOutlookContacts, testing::Values(
    ComparisonRow{"nothing differs", acme, acme, {}},
    ComparisonRow{"case, blanks, tabs and line breaks in an address",
        {{"CompanyName", "Acme"}, {"Email1Address", "Info@Acme.example"},
         {"BusinessAddressStreet", "1 Main St\r\nLevel 2"}, {"BusinessAddressCity", "sydney"}},
        {{"CompanyName", " ACME "}, {"Email1Address", "info@acme.example "},
         {"BusinessAddressStreet", "1 Main StLevel 2"}, {"BusinessAddressCity", "SYDNEY\t"}},
        {}},
    ComparisonRow{"telephone numbers compare without their formatting",
        {{"CompanyName", "Acme"}, {"BusinessTelephoneNumber", "(02) 9555 1234"},
         {"MobileTelephoneNumber", "9555 1234"}},
        {{"CompanyName", "Acme"}, {"BusinessTelephoneNumber", "02-9555-1234"},
         {"MobileTelephoneNumber", "+61 2 9555 1234"}},
        {{".MobileTelephoneNumber", "9555 1234", "+61 2 9555 1234"}}},
    ComparisonRow{"a web page with or without its scheme is the same",
        {{"CompanyName", "Acme"}, {"WebPage", "http://www.acme.example"}},
        {{"CompanyName", "Acme"}, {"WebPage", "WWW.ACME.EXAMPLE"}}, {}},
    ComparisonRow{"a web page that differs beyond its scheme",
        {{"CompanyName", "Acme"}, {"WebPage", "HTTP://a.example"}},
        {{"CompanyName", "Acme"}, {"WebPage", "hTTp://b.Example"}},
        {{".WebPage", "HTTP://a.example", "hTTp://b.Example"}}},
    ComparisonRow{"a company is compared on its business number only",
        {{"CompanyName", "Acme"}, {"HomeTelephoneNumber", "1"}, {"BusinessTelephoneNumber", "2"}},
        {{"CompanyName", "Acme"}, {"HomeTelephoneNumber", "3"}, {"BusinessTelephoneNumber", "4"}},
        {{".BusinessTelephoneNumber", "2", "4"}}},
    ComparisonRow{"the article of a company name is no change",
        {{"CompanyName", "Acme Traders, The"}}, {{"CompanyName", "The Acme Traders"}}, {}},
    ComparisonRow{"a person is compared on the names, the company and the home number",
        {{"LastName", "Smyth"}, {"FirstName", "jo"}, {"CompanyName", "Old Co\t"},
         {"HomeTelephoneNumber", "1"}, {"BusinessTelephoneNumber", "2"}},
        {{"LastName", "Smith"}, {"FirstName", "Jo"}, {"HomeTelephoneNumber", "3"},
         {"BusinessTelephoneNumber", "4"}},
        {{".LastName", "Smyth", "Smith"}, {".CompanyName", "Old Co", ""},
         {".HomeTelephoneNumber", "1", "3"}}},
    ComparisonRow{"six differences in the order of the table",
        {{"CompanyName", "Acme"}, {"Spouse", "Pat"}, {"Birthday", QDate(1985, 3, 5)},
         {"HomeAddressCity", "Sydney"}, {"HomeFaxNumber", "1"}, {"OtherTelephoneNumber", "1"},
         {"Email1Address", "a@acme.example"}},
        {{"CompanyName", "Acme"}, {"Spouse", "Sam"}, {"Birthday", QDate(1985, 3, 6)},
         {"HomeAddressCity", "Newcastle"}, {"HomeFaxNumber", "2"}, {"OtherTelephoneNumber", "2"},
         {"Email1Address", "b@acme.example"}},
        {{".Email1Address", "a@acme.example", "b@acme.example"},
         {".OtherTelephoneNumber", "1", "2"}, {".HomeFaxNumber", "1", "2"},
         {".HomeAddressCity", "Sydney", "Newcastle"}, {".Birthday", "05/03/1985", "06/03/1985"},
         {".Spouse", "Pat", "Sam"}}},
    ComparisonRow{"a date on one side only",
        {{"CompanyName", "Acme"}, {"Anniversary", QDate(1990, 12, 31)}}, acme,
        {{".Anniversary", "31/12/1990", ""}}},
    ComparisonRow{"the body ignores case and outer blanks",
        {{"CompanyName", "Acme"}, {"Body", body}},
        {{"CompanyName", "Acme"}, {"Body", " " + body.toUpper() + " "}}, {}},
    ComparisonRow{"the body counts its line breaks and shows both whole",
        {{"CompanyName", "Acme"}, {"Body", body}},
        {{"CompanyName", "Acme"}, {"Body", QString(body).replace(" ", "\r\n")}},
        {{".Body", body, QString(body).replace(" ", "\r\n")}}}),
    [](const testing::TestParamInfo<ComparisonRow>& info) {
        return QString::fromLatin1(info.param.name)
            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
            .toStdString();
    });
// clang-format on

} // namespace
} // namespace brindle
