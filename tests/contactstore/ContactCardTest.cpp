#include "contactstore/ContactCard.h"

#include "StoreFixture.h"

#include <QDate>

namespace contacts::test {
namespace {

class ContactFields : public StoreFixture
{
protected:
    // The one contact the default folder of a freshly opened store holds.
    std::shared_ptr<ContactItem> reopenOnly()
    {
        Application app(root());
        Items items = defaultFolder(app)->Items();
        EXPECT_EQ(items.Count(), 1);
        return items.Item(1);
    }
};

TEST_F(ContactFields, EveryPropertySurvivesSaveAndReopen)
{
    const QString tricky = QString::fromUtf8("Ünïcode, with; semi\\colons");
    const QList<std::pair<QString, QVariant>> values = {
        {"FirstName", "Jo"},
        {"LastName", "O'Neil"},
        {"MiddleName", "Q"},
        {"Title", "Dr"},
        {"Suffix", "Jr"},
        {"FullName", "Dr Jo O'Neil, the elder"},
        {"CompanyName", tricky},
        {"FileAs", "O'Neil, Jo"},
        {"CustomerID", "12345"},
        {"User1", "CUS001"},
        {"User2", "VEXOC"},
        {"User3", "O'NJ345"},
        {"User4", "Friends, Golf"},
        {"Categories", "Customer, B\r\nC, A"},
        {"Body", "Met at the fair\r\n-!VEXO NOTES!-\r\nCall weekly, maybe; or not"},
        {"HomeAddressStreet", "Level 2\r\n12 Main St\r\n\r\n"},
        {"HomeAddressCity", "Sydney"},
        {"HomeAddressState", "NSW"},
        {"HomeAddressPostalCode", "2000"},
        {"HomeAddressCountry", "Australia"},
        {"BusinessAddressStreet", "1 George St"},
        {"BusinessAddressCity", "Perth"},
        {"BusinessAddressState", "WA"},
        {"BusinessAddressPostalCode", "6000"},
        {"BusinessAddressCountry", "Australia"},
        {"OtherAddressStreet", "PO Box 7"},
        {"OtherAddressCity", "Hobart"},
        {"OtherAddressState", "TAS"},
        {"OtherAddressPostalCode", "7000"},
        {"OtherAddressCountry", "Australia"},
        {"HomeTelephoneNumber", "(02) 9555 1234"},
        {"BusinessTelephoneNumber", "02-9555-0000"},
        {"MobileTelephoneNumber", "0412 345 678"},
        {"OtherTelephoneNumber", "+61 2 9555 9999"},
        {"HomeFaxNumber", "02 9555 1111"},
        {"BusinessFaxNumber", "02 9555 2222"},
        {"OtherFaxNumber", "02 9555 3333"},
        {"Email1Address", "jo@example.com"},
        {"WebPage", "http://example.com/a,b;c?x=1"},
        {"Anniversary", QDate(2010, 6, 12)},
        {"Birthday", QDate(1980, 1, 31)},
        {"Spouse", "Sam O'Neil"},
        {"SelectedMailingAddress", 2},
    };
    QStringList covered;
    {
        Application app(root());
        std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Add();
        for (const auto& [name, value] : values) {
            item->setProperty(name, value);
            covered += name;
        }
        item->Save();
    }
    QStringList all = ContactCard::fieldNames();
    all.sort();
    covered.sort();
    EXPECT_EQ(covered, all) << "a property is missing from this test";
    const std::shared_ptr<ContactItem> item = reopenOnly();
    for (const auto& [name, value] : values) {
        EXPECT_EQ(item->property(name), value) << name.toStdString();
    }
}

TEST_F(ContactFields, ReadsWhatOtherProgramsWrite)
{
    const QDir data(QStringLiteral(BRINDLE_TEST_DATA));
    using Expected = QList<std::pair<const char*, QVariant>>;
    const QHash<QString, Expected> files = {
        {"thunderbird-3.vcf",
         {{"CompanyName", "Harbour Logistics"},
          {"Email1Address", "ewa@harbour.example"},
          {"BusinessTelephoneNumber", "+61 2 9555 1234"},
          {"MobileTelephoneNumber", "0412 345 678"},
          {"BusinessFaxNumber", "+61 2 9555 1299"},
          {"BusinessAddressStreet", "12 George St"},
          {"Body", "Prefers calls after 10am, not before.\r\nAsk for accounts."},
          {"Birthday", QDate(1980, 1, 31)},
          {"HomeTelephoneNumber", ""}}},
        {"google-3.vcf",
         {{"Email1Address", "mei@example.com"},
          {"HomeAddressStreet", "1 Queen, Unit 4\r\n22 Elizabeth St"},
          {"HomeTelephoneNumber", "(03) 9876 5432"},
          {"Categories", "myContacts, Friends"}}},
        {"khard-4.vcf",
         {{"Title", "Dr."},
          {"HomeTelephoneNumber", "+61-7-3000-1111"},
          {"BusinessTelephoneNumber", "07 3000 2222"},
          {"SelectedMailingAddress", 1},
          {"Anniversary", QDate(2010, 6, 12)},
          {"Spouse", "Arjun Patel"}}},
        {"phone-21.vcf",
         {{"LastName", QString::fromUtf8("Müller")},
          {"MobileTelephoneNumber", "+491701234567"},
          {"HomeTelephoneNumber", "0301234567"},
          {"Body", "First line\r\nSecond line is long enough to need a soft break here"}}},
    };
    makeDirectory(contactsDir());
    for (const QString& name : data.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        QFile::copy(data.filePath(name), contactsDir() + u'/' + name);
    }
    Application app(root());
    int checked = 0;
    for (const std::shared_ptr<ContactItem> item : defaultFolder(app)->Items()) {
        for (const auto& [property, expected] : files.value(item->fileName())) {
            EXPECT_EQ(item->property(QString::fromLatin1(property)), expected)
                << item->fileName().toStdString() << " " << property;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 23) << "every file was read";
}

TEST_F(ContactFields, UnknownPropertiesSurviveAChangeAndSave)
{
    makeDirectory(contactsDir());
    const QString path = contactsDir() + QStringLiteral("/khard-4.vcf");
    QFile::copy(QStringLiteral(BRINDLE_TEST_DATA "/khard-4.vcf"), path);
    {
        Application app(root());
        std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
        item->setProperty(QStringLiteral("FirstName"), QStringLiteral("Pri"));
        item->setProperty(QStringLiteral("HomeTelephoneNumber"), QStringLiteral("07 3000 9999"));
        item->Save();
    }
    const QByteArray after = readAll(path);
    for (const char* kept :
         {"RELATED;TYPE=spouse;VALUE=text:Arjun Patel", "X-CUSTOM;X-PARAM=\"a:b\":kept as it was",
          "EMAIL;PREF=1:priya@summit.example", "UID:2d3c9f0a-5b1e-4c2f-8a77-0f6c1d2e3b4a",
          "ADR;TYPE=work:;;100 Eagle St;Brisbane;QLD;4000;Australia"}) {
        EXPECT_TRUE(after.contains(kept)) << kept;
    }
    EXPECT_TRUE(after.contains("N:Patel;Pri;;Dr.;"));
    EXPECT_TRUE(after.contains("TEL;TYPE=home,voice:07 3000 9999"));
    EXPECT_FALSE(after.contains("tel:+61-7-3000-1111"));
    EXPECT_TRUE(after.contains("FN:Dr. Pri Patel")) << "the formatted name follows the names";
    EXPECT_EQ(reopenOnly()->property(QStringLiteral("FirstName")), QStringLiteral("Pri"));
}

TEST_F(ContactFields, FormattedNameFollowsTheNamesAndEmptyValuesRemoveProperties)
{
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Add();
    item->setProperty(QStringLiteral("FirstName"), QStringLiteral("Jo"));
    item->setProperty(QStringLiteral("LastName"), QStringLiteral("Smith"));
    EXPECT_EQ(item->property(QStringLiteral("FullName")), QStringLiteral("Jo Smith"));
    item->setProperty(QStringLiteral("Email1Address"), QStringLiteral("jo@x"));
    item->setProperty(QStringLiteral("Email1Address"), QString());
    item->setProperty(QStringLiteral("HomeAddressCity"), QStringLiteral("Sydney"));
    item->setProperty(QStringLiteral("HomeAddressCity"), QString());
    item->setProperty(QStringLiteral("Birthday"), QDate(2000, 1, 1));
    item->setProperty(QStringLiteral("Birthday"), QDate(4501, 1, 1));
    item->Save();
    const QByteArray bytes = readAll(contactsDir() + u'/' + item->fileName());
    EXPECT_FALSE(bytes.contains("EMAIL"));
    EXPECT_FALSE(bytes.contains("ADR"));
    EXPECT_FALSE(bytes.contains("BDAY"));
    EXPECT_TRUE(bytes.contains("FN:Jo Smith\r\n"));
    EXPECT_TRUE(bytes.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
}

// A line the writer folds right after an "=" must read back the same, so
// reading takes a line break for a quoted-printable soft break exactly when
// it decodes the value as quoted-printable; and other programs' X- lines
// come back byte for byte.
TEST_F(ContactFields, ValuesSurviveSavesOfOtherProperties)
{
    const struct
    {
        bool is30;
        const char* head; // padded so that the "=" that follows ends a folded line
        const char* body;
    } cases[] = {
        {false, "NOTE;X-ENC=QUOTED-PRINTABLE:", "=b c"},
        {false, "NOTE;ENCODING=8BIT;ENCODING=QUOTED-PRINTABLE:", "=b c"},
        {true, "NOTE;X-ENC=QUOTED-PRINTABLE:", "=b c"},
        {false, "X-OTHER;X-ENC=QUOTED-PRINTABLE:", "=b c"},
        {true, "item1.X-OTHER;X-ENCODING=QUOTED-PRINTABLE:", "=41 b"},
    };
    for (const auto& c : cases) {
        const QByteArray version = c.is30 ? "3.0" : "4.0";
        SCOPED_TRACE(version.toStdString() + " " + c.head);
        QDir(contactsDir()).removeRecursively();
        makeDirectory(contactsDir());
        const QByteArray head(c.head);
        const QByteArray line = head + QByteArray(74 - head.size(), 'a') + c.body;
        writeFile(contactsDir() + QStringLiteral("/c.vcf"), "BEGIN:VCARD\r\nVERSION:" + version +
                                                                "\r\nFN:A\r\n" + line +
                                                                "\r\nEND:VCARD\r\n");
        const QString body = line.startsWith("NOTE")
                                 ? QString::fromLatin1(line.mid(line.indexOf(':') + 1))
                                 : QString();
        for (const char* user4 : {"one", "two"}) {
            std::shared_ptr<ContactItem> item = reopenOnly();
            item->setProperty(QStringLiteral("User4"), QString::fromLatin1(user4));
            item->Save();
            EXPECT_EQ(reopenOnly()->property(QStringLiteral("Body")), body) << user4;
            const QByteArray saved = readAll(contactsDir() + QStringLiteral("/c.vcf"));
            if (!line.startsWith("NOTE")) {
                EXPECT_TRUE(QByteArray(saved).replace("\r\n ", "").contains("\r\n" + line + "\r\n"))
                    << saved.toStdString();
            }
        }
    }
}

// A vCard has no way to hold control characters: they are dropped, so the
// saved file stays readable.
TEST_F(ContactFields, ControlCharactersAreDroppedOnSave)
{
    {
        Application app(root());
        addContact(*defaultFolder(app), {{"Body", QStringLiteral("a\x01"
                                                                 "b\rc\td")},
                                         {"WebPage", QStringLiteral("http://x/\x1b[1m")},
                                         {"User1", QString::fromLatin1("nul\x00"
                                                                       "end",
                                                                       7)}});
    }
    const std::shared_ptr<ContactItem> item = reopenOnly();
    ASSERT_EQ(item->kind(), ContactItem::Kind::Contact) << item->problem().toStdString();
    EXPECT_EQ(item->property(QStringLiteral("Body")), QStringLiteral("ab\r\nc\td"));
    EXPECT_EQ(item->property(QStringLiteral("WebPage")), QStringLiteral("http://x/[1m"));
    EXPECT_EQ(item->property(QStringLiteral("User1")), QStringLiteral("nulend"));
}

TEST_F(ContactFields, MailingAddressMovesTheirPreference)
{
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Add();
    item->setProperty(QStringLiteral("SelectedMailingAddress"), 1);
    item->setProperty(QStringLiteral("BusinessAddressCity"), QStringLiteral("Perth"));
    item->setProperty(QStringLiteral("SelectedMailingAddress"), 2);
    item->Save();
    EXPECT_EQ(reopenOnly()->property(QStringLiteral("SelectedMailingAddress")), 2);
    const QByteArray bytes = readAll(contactsDir() + u'/' + item->fileName());
    EXPECT_EQ(bytes.count("ADR"), 1) << "the empty home address was only kept for its preference";
    EXPECT_TRUE(bytes.contains("ADR;TYPE=work;PREF=1:;;;Perth;;;"));
}

TEST_F(ContactFields, WrongValuesAndNamesRaiseTheirNumbers)
{
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Add();
    const struct
    {
        const char* property;
        QVariant value;
        qint64 number;
    } cases[] = {
        {"Birthday", "hello", brindle::ErrorNumber::TypeMismatch},
        {"Anniversary", 12, brindle::ErrorNumber::TypeMismatch},
        {"SelectedMailingAddress", 7, brindle::ErrorNumber::TypeMismatch},
        {"SelectedMailingAddress", "home", brindle::ErrorNumber::TypeMismatch},
        {"NoSuchProperty", "x", brindle::ErrorNumber::NoSuchMember},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            errorNumberOf([&] { item->setProperty(QString::fromLatin1(c.property), c.value); }),
            c.number)
            << c.property;
    }
    EXPECT_EQ(errorNumberOf([&] { item->property(QStringLiteral("Nope")); }),
              brindle::ErrorNumber::NoSuchMember);
    EXPECT_EQ(item->property(QStringLiteral("firstname")), QString()) << "names are case-blind";
}

// The formatted name is compared with the composed one it last had: each step
// checks that what is remembered still matches the names after every kind of change.
TEST(ContactCardName, FormattedNameFollowsOnlyWhileItMatchesTheNames)
{
    const struct
    {
        const char* field;
        const char* value;
        const char* fullName;
    } steps[] = {
        {"CompanyName", "Acme", "Acme"},
        {"FirstName", "Jo", "Jo"},
        {"LastName", "Smith", "Jo Smith"},
        {"Title", " Dr ", "Dr Jo Smith"},
        {"FullName", "The Boss", "The Boss"},
        {"FirstName", "Al", "The Boss"},
        {"FullName", "Dr Al Smith", "Dr Al Smith"},
        {"LastName", "Jones;Ltd", "Dr Al Jones;Ltd"},
        {"Suffix", "Jr\nII", "Dr Al Jones;Ltd Jr\r\nII"},
        {"Title", "", "Al Jones;Ltd Jr\r\nII"},
        {"FullName", "", ""},
        {"FirstName", "", "Jones;Ltd Jr\r\nII"},
        {"LastName", "", "Jr\r\nII"},
        {"Suffix", "", "Acme"},
    };
    ContactCard card;
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.field) + " = " + step.value);
        card.set(QString::fromLatin1(step.field), QString::fromLatin1(step.value));
        EXPECT_EQ(card.get(QStringLiteral("FullName")).toString(),
                  QString::fromLatin1(step.fullName));
    }
}

TEST(ContactCardName, ReadCardFollowsWhenItsFormattedNameMatches)
{
    // The lines of the card, and the formatted name once the last name is Smith.
    const std::pair<const char*, const char*> cases[] = {
        {"FN:Jo O\\,Neil\r\nN:O\\,Neil;Jo;;;\r\n", "Jo Smith"},
        {"FN:Joanne\r\nN:O\\,Neil;Jo;;;\r\n", "Joanne"},
    };
    for (const auto& [lines, fullName] : cases) {
        SCOPED_TRACE(lines);
        const VCard::ParseResult parsed =
            VCard::parse(QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\n") + lines + "END:VCARD\r\n");
        ASSERT_TRUE(parsed.card);
        ContactCard card(*parsed.card);
        EXPECT_TRUE(card.set(QStringLiteral("LastName"), QStringLiteral("Smith")));
        EXPECT_EQ(card.get(QStringLiteral("FullName")).toString(), QString::fromLatin1(fullName));
    }
}

} // namespace
} // namespace contacts::test
