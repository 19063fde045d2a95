#include "CardFixture.h"
#include "cardlib/Backup.h"
#include "cardlib/ServerBackup.h"

#include <QFileInfo>

using namespace TarvoCards;

namespace {

class CardBackup : public CardTest
{
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        RawFile raw(m_file);
        m_ann = raw.addCard("E", "Carter", "Ann");
        raw.addAddress(m_ann, 1, "1 Staff Rd", "ann@example.com");
        m_bo = raw.addCard("E", "Evans", "Bo", "EMP2", "Y");
        raw.addCard("C", "Customer Co");
        raw.addCard("S", "Supplier Co");
        raw.addCard("V", "Vendor Co");
        connect();
    }

    // The backup's rows: a file of its own, or a schema of the company database.
    QString saved(const CTypeColl& backup, const QString& sql)
    {
        if (server()) {
            return RawFile(m_file).column(
                QString(sql).replace("FROM ", QStringLiteral("FROM %1.").arg(backup.backupPath())));
        }
        return RawFile(backup.backupPath()).column(sql);
    }
    int restore(const QString& backup)
    {
        return server() ? restoreServerCards(m_file, backup) : restoreCards(m_file, backup);
    }

    qint32 m_ann = 0, m_bo = 0;
};

} // namespace

CARD_ENGINES(CardBackup);

TEST_P(CardBackup, FillsTheCollectionAndWritesABackupBesideTheFile)
{
    CEmployeeColl employees;
    bool ok = false;
    employees.Backup(0, 0, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(employees.Count(), 2);
    const CImportCard* ann = employees.Item(cardKey(m_ann));
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(ann->InvoiceDeliveryID, "P");
    EXPECT_EQ(ann->CardTypeID, "E");
    EXPECT_EQ(ann->LastName, "") << "the backup file holds the rest";

    EXPECT_EQ(saved(employees, "SELECT LastName FROM Cards ORDER BY CardRecordID"), "Carter,Evans");
    EXPECT_EQ(saved(employees, "SELECT Email FROM Addresses"), "ann@example.com");
    EXPECT_EQ(saved(employees, "SELECT CountryCode FROM Information"), "1");
    if (!server()) {
        const QFileInfo backup(employees.backupPath());
        EXPECT_EQ(backup.dir(), QFileInfo(m_file).dir());
        EXPECT_TRUE(backup.fileName().startsWith("company-backup-"));
        EXPECT_FALSE(QFileInfo::exists(backup.filePath() + ".part"));
        const char* schema = "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY name";
        EXPECT_EQ(RawFile(backup.filePath()).column(schema), RawFile(m_file).column(schema))
            << "a backup is a company file like any other, indexes and all";
    }

    CSupplierColl suppliers;
    suppliers.Backup(0, 0, ok);
    EXPECT_EQ(suppliers.Count(), 2);
    EXPECT_NE(suppliers.backupPath(), employees.backupPath());
}

TEST_P(CardBackup, RestorePutsTheSavedCardsBack)
{
    CEmployeeColl saved;
    bool ok = false;
    saved.Backup(0, 0, ok);
    ASSERT_TRUE(ok);

    CEmployeeColl changes;
    CImportCard& ann = changes.Add(0);
    ann.CardRecordID = m_ann;
    ann.LastName = "Carter-Jones";
    ann.Notes = "overwritten";
    CAddress& address = ann.Addresses.Add();
    address.Location = 1;
    address.Email = "new@example.com";
    changes.Add(0).LastName = "Newcomer";
    ASSERT_TRUE(changes.Import());
    m_connection.Disconnect();

    EXPECT_EQ(restore(saved.backupPath()), 2);
    connect();
    CEmployeeColl after;
    after.Backup(0, 0, ok);
    ASSERT_EQ(after.Count(), 3);
    const CImportCard* restored = after.Item(cardKey(m_ann));
    EXPECT_EQ(*restored, *saved.Item(cardKey(m_ann)));
    EXPECT_EQ(*after.Item(cardKey(m_bo)), *saved.Item(cardKey(m_bo)));
}

TEST_P(CardBackup, RestoreFromAFileThatIsNoBackupChangesNothing)
{
    const QString bogus = server() ? "bogus" : path("bogus.sqlite");
    if (server()) {
        RawFile(m_file).exec("CREATE SCHEMA bogus");
    }
    RawFile(server() ? m_file : bogus)
        .exec(server() ? "CREATE TABLE bogus.Cards (x INTEGER)" : "CREATE TABLE Cards (x)");
    m_connection.Disconnect();
    for (const QString& backup :
         {bogus, server() ? "none; DROP TABLE Cards" : path("none.sqlite")}) {
        EXPECT_THROW(restore(backup), brindle::PlatformError);
    }
    EXPECT_EQ(RawFile(m_file).value("SELECT count(*) FROM Cards").toInt(), 5);
}
