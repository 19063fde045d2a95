#include "CardFixture.h"

using namespace TarvoCards;

namespace {

class CardImport : public CardFileTest
{
protected:
    void SetUp() override
    {
        CardFileTest::SetUp();
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

    QString stored(const QString& column, qint32 id)
    {
        return RawFile(m_file)
            .value(QStringLiteral("SELECT %1 FROM Cards WHERE CardRecordID = ?").arg(column), {id})
            .toString();
    }

    qint32 m_acme = 0, m_smith = 0, m_brown = 0, m_supplier = 0;
    const QString m_empty = emptyValue();
};

} // namespace

TEST_F(CardImport, ItemsFindTheirCardByRecordIdentificationOrName)
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
        if (c.expected) {
            EXPECT_EQ(item.CardRecordID, c.expected);
            EXPECT_EQ(cardCount(), before);
        } else {
            EXPECT_GT(item.CardRecordID, m_supplier);
            EXPECT_EQ(cardCount(), before + 1);
            EXPECT_EQ(customers.Item(cardKey(item.CardRecordID)), &item);
        }
    }
    EXPECT_EQ(stored("LastName", m_supplier), "Acme Traders");
}

TEST_F(CardImport, EmptyValueKeepsStoredValuesAndNewCardsStoreEmptyText)
{
    CCustomerColl customers;
    CImportCard& update = customers.Add(0);
    update.CardRecordID = m_acme;
    for (QString* member :
         {&update.LastName, &update.FirstName, &update.Notes, &update.CustomField2}) {
        *member = m_empty;
    }
    update.CustomField1 = "01/02/2003";
    update.IsIndividual = m_empty;
    CAddress& address = update.Addresses.Add();
    address.Location = 1;
    address.StreetLine1 = "9 New Rd";
    address.Email = m_empty;
    address.City = m_empty;
    CImportCard& added = person(customers, "Newman", m_empty);
    added.Notes = m_empty;
    CAddress& other = added.Addresses.Add();
    other.Location = 2;
    other.City = m_empty;

    ASSERT_TRUE(customers.Import());
    RawFile raw(m_file);
    EXPECT_EQ(stored("LastName", m_acme), "Acme Traders");
    EXPECT_EQ(stored("Notes", m_acme), "old notes");
    EXPECT_EQ(stored("IsIndividual", m_acme), "N");
    EXPECT_EQ(stored("CustomField1", m_acme), "01/02/2003");
    EXPECT_EQ(stored("InvoiceDeliveryID", m_acme), "P");
    EXPECT_EQ(raw.value("SELECT StreetLine1 || '|' || Email FROM Addresses WHERE CardRecordID = ? "
                        "AND Location = 1",
                        {m_acme})
                  .toString(),
              "9 New Rd|old@acme.example");
    EXPECT_EQ(raw.value("SELECT StreetLine1 FROM Addresses WHERE CardRecordID = ? AND Location = 3",
                        {m_acme})
                  .toString(),
              "Third");
    EXPECT_EQ(update.LastName, "Acme Traders");
    EXPECT_EQ(update.Addresses.at(0).Email, "old@acme.example");
    EXPECT_EQ(stored("FirstName", added.CardRecordID), "");
    EXPECT_EQ(
        raw.value("SELECT count(*) FROM Cards WHERE instr(FirstName || Notes, char(26))").toInt(),
        0);
    EXPECT_EQ(raw.value("SELECT count(*) FROM Addresses WHERE instr(City, char(26))").toInt(), 0);
}

TEST_F(CardImport, BlanksEmptyAFieldButNeverALastName)
{
    RawFile(m_file).exec("UPDATE Addresses SET StreetLine2 = 'Level 2', City = 'Perth' "
                         "WHERE CardRecordID = ? AND Location = 1",
                         {m_acme});
    CCustomerColl customers;
    CImportCard& update = customers.Add(0);
    update.CardRecordID = m_acme;
    update.LastName = m_empty;
    update.Notes = "  ";
    CAddress& address = update.Addresses.Add();
    address.Location = 1;
    address.StreetLine1 = "1 Old St";
    address.StreetLine2 = " ";
    address.City = m_empty;
    CImportCard& blankName = customers.Add(0);
    blankName.CardRecordID = m_smith;
    blankName.LastName = " ";

    ASSERT_TRUE(customers.Import());
    EXPECT_EQ(stored("Notes", m_acme), "");
    EXPECT_EQ(RawFile(m_file)
                  .value("SELECT StreetLine1 || '|' || StreetLine2 || '|' || City FROM Addresses "
                         "WHERE CardRecordID = ? AND Location = 1",
                         {m_acme})
                  .toString(),
              "1 Old St||Perth");
    EXPECT_EQ(blankName.ErrorCode, "1");
    EXPECT_EQ(stored("LastName", m_smith), "Smith");
}

TEST_F(CardImport, RefusedItemsAreMarkedAndTheOthersWritten)
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
    EXPECT_TRUE(customers.begin()->ErrorCode.isEmpty());
}

TEST_F(CardImport, LongValuesAreCutWithAWarningAndStillMatchNextTime)
{
    const QString longName = QString(51, 'a') + QStringLiteral("\U0001F600tail");
    for (int run = 0; run < 2; ++run) {
        CCustomerColl customers;
        CImportCard& item = customers.Add(0);
        item.LastName = longName;
        ASSERT_TRUE(customers.Import());
        EXPECT_EQ(item.WarningCode, "1");
        EXPECT_TRUE(item.LogMessage.contains("LastName cut to 52"));
        EXPECT_EQ(item.LastName, QString(51, 'a'));
    }
    EXPECT_EQ(cardCount(), 5);
}

TEST_F(CardImport, SecondImportOfTheSameContactsAddsNothing)
{
    auto fill = [this](CTypeColl& coll) {
        person(coll, "Lee", "Wei").CardIdentification = "*None";
        person(coll, "O'Brien", "Seán");
        coll.Add(0).LastName = "Smith & Sons";
        CImportCard& coded = coll.Add(0);
        coded.LastName = "Coded Pty Ltd";
        coded.CardIdentification = "CUS777";
    };
    CCustomerColl first;
    fill(first);
    ASSERT_TRUE(first.Import());
    const int afterFirst = cardCount();
    EXPECT_EQ(afterFirst, 8);
    CCustomerColl second;
    fill(second);
    ASSERT_TRUE(second.Import());
    EXPECT_EQ(cardCount(), afterFirst);
    auto a = first.begin();
    for (auto b = second.begin(); b != second.end(); ++a, ++b) {
        EXPECT_EQ(a->CardRecordID, b->CardRecordID);
    }
}

TEST_F(CardImport, FailingFileRollsBackTheWholeCollection)
{
    {
        RawFile raw(m_file);
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

TEST_F(CardImport, LockedFileFailsTheImportAndWritesNothing)
{
    RawFile other(m_file);
    other.exec("BEGIN IMMEDIATE");
    CCustomerColl customers;
    person(customers, "Fresh", "Card");
    EXPECT_FALSE(customers.Import());
    other.exec("ROLLBACK");
    EXPECT_EQ(cardCount(), 4);
    EXPECT_TRUE(customers.Import());
    EXPECT_EQ(cardCount(), 5);
}

TEST_F(CardImport, SuppliersOfAUnitedStatesFileAreVendors)
{
    const QString us = path("us.sqlite");
    createCompanyFile(us, {countryUnitedStates, {}, {}});
    qint32 vendor = 0;
    {
        RawFile raw(us);
        vendor = raw.addCard("V", "Old Vendor Inc");
    }
    m_connection.Settings().DataFile = us;
    ASSERT_TRUE(m_connection.Connect());
    CSupplierColl suppliers;
    suppliers.Add(0).LastName = "Old Vendor Inc";
    suppliers.Add(0).LastName = "New Vendor LLC";
    ASSERT_TRUE(suppliers.Import());
    EXPECT_EQ(suppliers.begin()->CardRecordID, vendor);
    RawFile raw(us);
    EXPECT_EQ(raw.value("SELECT group_concat(CardTypeID, '') FROM Cards").toString(), "VV");
}
