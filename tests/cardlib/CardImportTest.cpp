#include "CardFixture.h"

using namespace TarvoCards;

namespace {

class CardImport : public CardTest
{
protected:
    CImportCard& person(CTypeColl& coll, const QString& last, const QString& first = {},
                        qint32 id = 0)
    {
        CImportCard& item = coll.Add(0);
        item.LastName = last;
        item.FirstName = first;
        item.IsIndividual = first.isEmpty() ? "N" : "Y";
        item.CardRecordID = id;
        return item;
    }

    const QString m_empty = emptyValue();
};

} // namespace

CARD_ENGINES(CardImport, fileEngine, serverEngine);

TEST_P(CardImport, ItemsFindTheirCardByRecordIdentificationOrName)
{
    const std::tuple<const char*, qint32, QString, QString, QString, qint32> cases[] = {
        // what, record ID, identification, last name, first name, card found (0: new)
        {"record ID", m_acme, "", m_empty, "", m_acme},
        {"identification", 0, "CUS100", m_empty, "", m_acme},
        {"individual by names", 0, "*none", "Smith", "John", m_smith},
        {"*None on both is no match", 0, "*None", "Brown", "Ann", m_brown},
        {"company by name, own type", 0, "", "Acme Traders", "", m_acme},
        {"other first name", 0, "", "Smith", "Jane", 0},
        {"company named like a person", 0, "", "Brown", "", 0},
    };
    for (const auto& [what, id, identification, last, first, found] : cases) {
        SCOPED_TRACE(what);
        const int before = cardCount();
        CCustomerColl customers;
        CImportCard& item = person(customers, last, first, id);
        item.CardIdentification = identification;
        ASSERT_TRUE(customers.Import(m_connection));
        EXPECT_EQ(item.ErrorCode, "");
        EXPECT_EQ(item.CardRecordID, found ? found : item.CardRecordID);
        EXPECT_EQ(cardCount(), before + (found ? 0 : 1));
        EXPECT_GT(item.CardRecordID, found ? 0 : m_dow);
        EXPECT_EQ(customers.Item(cardKey(item.CardRecordID)), &item);
    }
    EXPECT_EQ(stored("SELECT LastName FROM Cards WHERE CardRecordID = ?", m_supplier),
              "Acme Traders");
}

TEST_P(CardImport, EmptyValueKeepsStoredValuesAndBlanksEmptyAField)
{
    RawFile(m_file).exec("UPDATE Addresses SET StreetLine2 = 'Level 2', City = 'Perth'");
    CCustomerColl customers;
    CImportCard& update = person(customers, m_empty, {}, m_acme);
    update.FirstName = update.CustomField2 = update.IsIndividual = m_empty;
    update.Notes = "  ";
    update.CustomField1 = "01/02/2003";
    CAddress& address = update.Addresses.Add();
    address.Location = 1;
    address.StreetLine1 = "9 New Rd";
    address.StreetLine2 = " ";
    address.Email = address.City = m_empty;
    CImportCard& added = person(customers, "Newman", m_empty);
    added.Notes = m_empty;
    added.Addresses.Add() = CAddress{.Location = 2, .City = m_empty};
    person(customers, " ", {}, m_smith);
    ASSERT_TRUE(customers.Import(m_connection));

    const QString card = "SELECT LastName || '|' || Notes || '|' || IsIndividual || '|' || "
                         "CustomField1 || '|' || InvoiceDeliveryID || '|' || FirstName FROM Cards "
                         "WHERE CardRecordID = ?";
    const QString addresses = "SELECT Location || '|' || StreetLine1 || '|' || StreetLine2 || "
                              "'|' || City || '|' || Email FROM Addresses WHERE CardRecordID = ? "
                              "ORDER BY Location";
    EXPECT_EQ(stored(card, m_acme), "Acme Traders||N|01/02/2003|P|");
    EXPECT_EQ(stored(addresses, m_acme),
              "1|9 New Rd||Perth|old@acme.example,3|Third|Level 2|Perth|");
    EXPECT_EQ(update.Addresses.at(0).Email, "old@acme.example") << "the item shows the file";
    EXPECT_EQ(stored(card, added.CardRecordID), "Newman||Y|||") << "no marker is stored";
    EXPECT_EQ(stored(addresses, added.CardRecordID), "")
        << "an address the file lacked, given empty, gets no row";
    EXPECT_EQ(customers.begin()[2].ErrorCode, "1") << "a blank last name is refused";
    EXPECT_EQ(stored(card, m_smith), "Smith|old notes|Y||P|John");
}

// A long value is cut with a warning; the same items a second time add nothing.
TEST_P(CardImport, RefusedItemsAreMarkedAndTheOthersWritten)
{
    QList<qint32> ids[2];
    for (QList<qint32>& run : ids) {
        CCustomerColl customers;
        int completed = 0;
        QObject::connect(&customers, &CTypeColl::ImportComplete, [&completed] { ++completed; });
        person(customers, "Good", "One").CardIdentification = "*None";
        CImportCard& noName = person(customers, m_empty, "Nameless");
        person(customers, "Flag", "Bad").IsInactive = "X";
        person(customers, "Ghost", "Card", m_supplier); // a supplier, not a customer
        person(customers, "Far", "Away").Addresses.Add().Location = 7;
        CImportCard& lower = person(customers, "O'Brien", "Seán");
        lower.IsIndividual = "y";
        CImportCard& cut = person(customers, QString(51, 'a') + "\U0001F600tail");
        person(customers, "Coded Pty Ltd").CardIdentification = "CUS777";
        ASSERT_TRUE(customers.Import(m_connection));
        EXPECT_EQ(completed, 8);
        QStringList codes;
        for (const CImportCard& item : customers) {
            codes << item.ErrorCode + item.WarningCode + (item.LogMessage.isEmpty() ? "" : "!");
            run << item.CardRecordID;
        }
        EXPECT_EQ(codes.join(u','), ",1!,2!,3!,4!,,1!,");
        EXPECT_TRUE(cut.LogMessage.contains("LastName cut to 52"));
        EXPECT_EQ(noName.LastName + cut.LastName, QString(51, 'a'));
        EXPECT_EQ(cardCount(), 12);
        EXPECT_EQ(
            stored("SELECT IsIndividual FROM Cards WHERE CardRecordID = ?", lower.CardRecordID),
            "Y");
    }
    EXPECT_EQ(ids[0], ids[1]);
}

TEST_P(CardImport, FailingOrHeldFileWritesNothingOfTheCollection)
{
    RawFile raw(m_file);
    raw.exec(server() ? "CREATE FUNCTION boom() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                        "RAISE EXCEPTION 'disk I/O error'; END $$"
                      : "SELECT 1");
    raw.exec(server() ? "CREATE TRIGGER fail BEFORE INSERT ON Cards FOR EACH ROW WHEN "
                        "(NEW.LastName = 'Boom') EXECUTE FUNCTION boom()"
                      : "CREATE TRIGGER fail BEFORE INSERT ON Cards WHEN NEW.LastName = 'Boom' "
                        "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
    CCustomerColl customers;
    CImportCard& renamed = person(customers, "Renamed", {}, m_acme);
    CImportCard& fresh = person(customers, "Fresh", "Card");
    person(customers, "Boom", "Card");
    EXPECT_FALSE(customers.Import(m_connection));
    EXPECT_TRUE(m_connection.LastError().description().contains("disk I/O error"));
    EXPECT_EQ(renamed.LastName + QString::number(fresh.CardRecordID), "Renamed0");
    EXPECT_EQ(customers.Item(cardKey(m_acme)), &renamed);
    raw.exec("DROP TRIGGER fail" + QString(server() ? " ON Cards" : ""));

    // Another writer: the import waits its bound, names the holder where the
    // server can, and goes through once it has gone.
    raw.exec("BEGIN");
    raw.exec(server() ? "LOCK TABLE Cards IN SHARE ROW EXCLUSIVE MODE"
                      : "INSERT INTO Cards (CardTypeID, LastName) VALUES ('C', 'Pending')");
    m_connection.WriteLockTimeout = 1;
    EXPECT_FALSE(customers.Import(m_connection));
    EXPECT_TRUE(
        m_connection.LastError().description().contains(server() ? "held by test" : "locked"))
        << m_connection.LastError().description().toStdString();
    raw.exec("ROLLBACK");
    EXPECT_EQ(stored("SELECT LastName FROM Cards WHERE CardRecordID = ?", m_acme), "Acme Traders");
    EXPECT_EQ(cardCount(), 8);
    EXPECT_TRUE(customers.Import(m_connection));
    EXPECT_EQ(cardCount(), 10);
}

TEST_P(CardImport, SuppliersOfAUnitedStatesFileAreVendors)
{
    const QString us = newCompanyFile("us.sqlite", {countryUnitedStates, {}, {}});
    const qint32 vendor = RawFile(us).addCard("V", "Old Vendor Inc");
    connect(us);
    CSupplierColl suppliers;
    person(suppliers, "Old Vendor Inc");
    person(suppliers, "New Vendor LLC");
    ASSERT_TRUE(suppliers.Import(m_connection));
    EXPECT_EQ(suppliers.begin()->CardRecordID, vendor);
    EXPECT_EQ(RawFile(us).column("SELECT CardTypeID FROM Cards ORDER BY CardRecordID"), "V,V");
}
