#include "CardFixture.h"

using namespace TarvoCards;

namespace {

class CardImport : public CardTest
{
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        RawFile raw(m_file);
        m_acme = raw.addCard("C", "Acme Traders", {}, "CUS100");
        raw.addAddress(m_acme, 1, "1 Old St", "old@acme.example");
        raw.addAddress(m_acme, 3, "Third");
        m_smith = raw.addCard("C", "Smith", "John");
        m_brown = raw.addCard("C", "Brown", "Ann", "*None");
        m_supplier = raw.addCard("S", "Acme Traders");
        connect();
    }

    CImportCard& person(CTypeColl& coll, const QString& last, const QString& first)
    {
        CImportCard& item = coll.Add(0);
        item.LastName = last;
        item.FirstName = first;
        item.IsIndividual = "Y";
        return item;
    }

    int cardCount() { return RawFile(m_file).value("SELECT count(*) FROM Cards").toInt(); }

    QString stored(const QString& column, qint32 id, const QString& table = "Cards",
                   int location = 1)
    {
        return RawFile(m_file)
            .value(QStringLiteral("SELECT %1 FROM %2 WHERE CardRecordID = ? AND %3")
                       .arg(column, table, table == "Cards" ? "? = 1" : "Location = ?"),
                   {id, location})
            .toString();
    }

    qint32 m_acme = 0, m_smith = 0, m_brown = 0, m_supplier = 0;
    const QString m_empty = emptyValue();
};

} // namespace

CARD_ENGINES(CardImport);

TEST_P(CardImport, ItemsFindTheirCardByRecordIdentificationOrName)
{
    struct Case
    {
        const char* what;
        qint32 recordId;
        QString identification, lastName, firstName, individual;
        qint32 expected; // 0: a new card
    };
    const Case cases[] = {
        {"record ID", m_acme, "", m_empty, m_empty, "N", m_acme},
        {"identification", 0, "CUS100", m_empty, m_empty, "N", m_acme},
        {"individual by names", 0, "*none", "Smith", "John", "Y", m_smith},
        {"*None on both is no match", 0, "*None", "Brown", "Ann", "Y", m_brown},
        {"company by name, own type", 0, "", "Acme Traders", m_empty, "N", m_acme},
        {"other first name", 0, "", "Smith", "Jane", "Y", 0},
        {"company named like a person", 0, "", "Brown", "", "N", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = cardCount();
        CCustomerColl customers;
        CImportCard& item = customers.Add(0);
        item.CardRecordID = c.recordId;
        item.CardIdentification = c.identification;
        item.LastName = c.lastName;
        item.FirstName = c.firstName;
        item.IsIndividual = c.individual;
        ASSERT_TRUE(customers.Import());
        EXPECT_EQ(item.ErrorCode, "");
        EXPECT_EQ(item.CardRecordID, c.expected ? c.expected : item.CardRecordID);
        EXPECT_EQ(cardCount(), before + (c.expected ? 0 : 1));
        EXPECT_GT(item.CardRecordID, c.expected ? 0 : m_supplier);
        EXPECT_EQ(customers.Item(cardKey(item.CardRecordID)), &item);
    }
    EXPECT_EQ(stored("LastName", m_supplier), "Acme Traders");
}

TEST_P(CardImport, EmptyValueKeepsStoredValuesAndBlanksEmptyAField)
{
    RawFile(m_file).exec("UPDATE Addresses SET StreetLine2 = 'Level 2', City = 'Perth' "
                         "WHERE CardRecordID = ? AND Location = 1",
                         {m_acme});
    CCustomerColl customers;
    CImportCard& update = customers.Add(0);
    update.CardRecordID = m_acme;
    for (QString* member :
         {&update.LastName, &update.FirstName, &update.CustomField2, &update.IsIndividual}) {
        *member = m_empty;
    }
    update.Notes = "  ";
    update.CustomField1 = "01/02/2003";
    CAddress& address = update.Addresses.Add();
    address.Location = 1;
    address.StreetLine1 = "9 New Rd";
    address.StreetLine2 = " ";
    address.Email = m_empty;
    address.City = m_empty;
    CImportCard& added = person(customers, "Newman", m_empty);
    added.Notes = m_empty;
    CAddress& other = added.Addresses.Add();
    other.Location = 2;
    other.City = m_empty;
    CImportCard& blankName = customers.Add(0);
    blankName.CardRecordID = m_smith;
    blankName.LastName = " ";

    ASSERT_TRUE(customers.Import());
    const std::pair<QString, QString> expected[] = {
        {stored("LastName", m_acme), "Acme Traders"},
        {stored("Notes", m_acme), ""},
        {stored("IsIndividual", m_acme), "N"},
        {stored("CustomField1", m_acme), "01/02/2003"},
        {stored("InvoiceDeliveryID", m_acme), "P"},
        {stored("StreetLine1 || '|' || StreetLine2 || '|' || City || '|' || Email", m_acme,
                "Addresses"),
         "9 New Rd||Perth|old@acme.example"},
        {stored("StreetLine1", m_acme, "Addresses", 3), "Third"},
        {update.Addresses.at(0).Email, "old@acme.example"},
        {stored("FirstName || Notes", added.CardRecordID), ""},
        {stored("City", added.CardRecordID, "Addresses", 2), ""},
        {blankName.ErrorCode, "1"},
        {stored("LastName", m_smith), "Smith"},
    };
    for (const auto& [actual, wanted] : expected) {
        EXPECT_EQ(actual, wanted);
    }
}

TEST_P(CardImport, RefusedItemsAreMarkedAndTheOthersWritten)
{
    CCustomerColl customers;
    int completed = 0;
    QObject::connect(&customers, &CTypeColl::ImportComplete, [&completed] { ++completed; });
    person(customers, "Good", "One");
    CImportCard& noName = person(customers, m_empty, "Nameless");
    CImportCard& badFlag = person(customers, "Flag", "Bad");
    badFlag.IsInactive = "X";
    CImportCard& unknown = person(customers, "Ghost", "Card");
    unknown.CardRecordID = m_supplier; // a supplier, not a customer
    CImportCard& badAddress = person(customers, "Far", "Away");
    badAddress.Addresses.Add().Location = 7;
    CImportCard& lower = person(customers, "Good", "Two");
    lower.IsIndividual = "y";

    ASSERT_TRUE(customers.Import());
    EXPECT_EQ(completed, 6);
    const std::pair<CImportCard*, QString> refused[] = {
        {&noName, "1"}, {&badFlag, "2"}, {&unknown, "3"}, {&badAddress, "4"}};
    for (const auto& [item, code] : refused) {
        SCOPED_TRACE(item->FirstName.toStdString());
        EXPECT_EQ(item->ErrorCode, code);
        EXPECT_FALSE(item->LogMessage.isEmpty());
    }
    EXPECT_EQ(noName.LastName, "");
    EXPECT_EQ(cardCount(), 6);
    EXPECT_EQ(stored("LastName", m_supplier), "Acme Traders");
    EXPECT_EQ(stored("IsIndividual", lower.CardRecordID), "Y");
}

TEST_P(CardImport, LongValuesAreCutWithAWarningAndTheSameContactsAddNothingNextTime)
{
    const QString longName = QString(51, 'a') + QStringLiteral("\U0001F600tail");
    auto fill = [&](CTypeColl& coll) {
        person(coll, "Lee", "Wei").CardIdentification = "*None";
        person(coll, "O'Brien", "Seán");
        coll.Add(0).LastName = longName;
        CImportCard& coded = coll.Add(0);
        coded.LastName = "Coded Pty Ltd";
        coded.CardIdentification = "CUS777";
    };
    QList<qint32> ids[2];
    for (QList<qint32>& run : ids) {
        CCustomerColl customers;
        fill(customers);
        ASSERT_TRUE(customers.Import());
        const CImportCard& cut = *std::next(customers.begin(), 2);
        EXPECT_EQ(cut.WarningCode, "1");
        EXPECT_TRUE(cut.LogMessage.contains("LastName cut to 52"));
        EXPECT_EQ(cut.LastName, QString(51, 'a'));
        for (const CImportCard& item : customers) {
            run << item.CardRecordID;
        }
        EXPECT_EQ(cardCount(), 8);
    }
    EXPECT_EQ(ids[0], ids[1]);
}

TEST_P(CardImport, FailingFileRollsBackTheWholeCollection)
{
    RawFile raw(m_file);
    if (server()) {
        raw.exec("CREATE FUNCTION boom() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                 "RAISE EXCEPTION 'disk I/O error'; END $$");
        raw.exec("CREATE TRIGGER fail BEFORE INSERT ON Cards FOR EACH ROW "
                 "WHEN (NEW.LastName = 'Boom') EXECUTE FUNCTION boom()");
    } else {
        raw.exec("CREATE TRIGGER fail BEFORE INSERT ON Cards WHEN NEW.LastName = 'Boom' "
                 "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    }
    CCustomerColl customers;
    CImportCard& renamed = customers.Add(0);
    renamed.CardRecordID = m_acme;
    renamed.LastName = "Renamed";
    CImportCard& fresh = person(customers, "Fresh", "Card");
    person(customers, "Boom", "Card");
    person(customers, "Never", "Reached");

    EXPECT_FALSE(customers.Import());
    EXPECT_TRUE(m_connection.LastError().description().contains("disk I/O error"));
    EXPECT_EQ(stored("LastName", m_acme), "Acme Traders");
    EXPECT_EQ(cardCount(), 4);
    EXPECT_EQ(renamed.LastName, "Renamed");
    EXPECT_EQ(fresh.CardRecordID, 0);
    EXPECT_EQ(customers.Item(cardKey(m_acme)), &renamed);
}

// Another program writing: the import waits its bound, names the holder
// where the server can, writes nothing, and goes through once it has gone.
TEST_P(CardImport, HeldFileFailsTheImportAndWritesNothing)
{
    auto other = std::make_unique<RawFile>(m_file);
    other->exec(server() ? "BEGIN" : "BEGIN IMMEDIATE");
    if (server()) {
        other->exec("LOCK TABLE Cards IN SHARE ROW EXCLUSIVE MODE");
    }
    m_connection.WriteLockTimeout = 1;
    CCustomerColl customers;
    person(customers, "Fresh", "Card");
    EXPECT_FALSE(customers.Import());
    EXPECT_TRUE(
        m_connection.LastError().description().contains(server() ? "held by test" : "locked"))
        << m_connection.LastError().description().toStdString();
    other.reset();
    EXPECT_EQ(cardCount(), 4);
    EXPECT_TRUE(customers.Import());
    EXPECT_EQ(cardCount(), 5);
}

TEST_P(CardImport, SuppliersOfAUnitedStatesFileAreVendors)
{
    const QString us = newCompanyFile("us.sqlite", {countryUnitedStates, {}, {}});
    const qint32 vendor = RawFile(us).addCard("V", "Old Vendor Inc");
    m_connection.Settings().DataFile = us;
    ASSERT_TRUE(m_connection.Connect());
    CSupplierColl suppliers;
    suppliers.Add(0).LastName = "Old Vendor Inc";
    suppliers.Add(0).LastName = "New Vendor LLC";
    ASSERT_TRUE(suppliers.Import());
    EXPECT_EQ(suppliers.begin()->CardRecordID, vendor);
    EXPECT_EQ(RawFile(us).column("SELECT CardTypeID FROM Cards ORDER BY CardRecordID"), "V,V");
}
