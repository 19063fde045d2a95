#include "CardFixture.h"
#include "cardlib/Backup.h"

#include <QFileInfo>
#include <sys/wait.h>
#include <unistd.h>

using namespace TarvoCards;

namespace {

class CardBackup : public CardFileTest
{
protected:
    void SetUp() override
    {
        CardFileTest::SetUp();
        RawFile raw(m_file);
        m_ann = raw.addCard("E", "Carter", "Ann");
        raw.addAddress(m_ann, 1, "1 Staff Rd", "ann@example.com");
        m_bo = raw.addCard("E", "Evans", "Bo", "EMP2", "Y");
        raw.addCard("C", "Customer Co");
        raw.addCard("S", "Supplier Co");
        raw.addCard("V", "Vendor Co");
        connect();
    }

    qint32 m_ann = 0, m_bo = 0;
};

} // namespace

TEST_F(CardBackup, FillsTheCollectionAndWritesABackupBesideTheFile)
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

    const QFileInfo backup(employees.backupPath());
    EXPECT_EQ(backup.dir(), QFileInfo(m_file).dir());
    EXPECT_TRUE(backup.fileName().startsWith("company-backup-"));
    RawFile saved(backup.filePath());
    EXPECT_EQ(saved.value("SELECT group_concat(LastName, ',') FROM Cards").toString(),
              "Carter,Evans");
    EXPECT_EQ(saved.value("SELECT group_concat(Email) FROM Addresses").toString(),
              "ann@example.com");
    EXPECT_FALSE(QFileInfo::exists(backup.filePath() + ".part"));
    const char* schema = "SELECT group_concat(sql, ';') FROM (SELECT sql FROM sqlite_master "
                         "WHERE sql IS NOT NULL ORDER BY name)";
    EXPECT_EQ(saved.value(schema), RawFile(m_file).value(schema))
        << "a backup is a company file like any other, indexes and all";

    CSupplierColl suppliers;
    suppliers.Backup(0, 0, ok);
    EXPECT_EQ(suppliers.Count(), 2);
    EXPECT_NE(suppliers.backupPath(), employees.backupPath());
}

TEST_F(CardBackup, RestorePutsTheSavedCardsBack)
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

    EXPECT_EQ(restoreCards(m_file, saved.backupPath()), 2);
    connect();
    CEmployeeColl after;
    after.Backup(0, 0, ok);
    ASSERT_EQ(after.Count(), 3);
    const CImportCard* restored = after.Item(cardKey(m_ann));
    EXPECT_EQ(*restored, *saved.Item(cardKey(m_ann)));
    EXPECT_EQ(*after.Item(cardKey(m_bo)), *saved.Item(cardKey(m_bo)));
}

TEST_F(CardBackup, RestoreFromAFileThatIsNoBackupChangesNothing)
{
    const QString bogus = path("bogus.sqlite");
    {
        RawFile raw(bogus);
        raw.exec("CREATE TABLE Cards (x)");
    }
    m_connection.Disconnect();
    EXPECT_THROW(restoreCards(m_file, bogus), brindle::PlatformError);
    EXPECT_THROW(restoreCards(m_file, path("none.sqlite")), brindle::PlatformError);
    RawFile raw(m_file);
    EXPECT_EQ(raw.value("SELECT count(*) FROM Cards").toInt(), 5);
}

// Parts named "<company>-backup-….sqlite.<pid>.part": only a dead writer's
// parts of this company file are removed.
TEST_F(CardBackup, IsAsPrivateAsTheCompanyFileAndClearsWhatKilledRunsLeft)
{
    const pid_t dead = fork();
    if (dead == 0) {
        _exit(0);
    }
    waitpid(dead, nullptr, 0);
    const QDir folder = QFileInfo(m_file).dir();
    const QString part = QStringLiteral("%1-backup-20260101-000000-E.sqlite%2");
    const QStringList removed = {part.arg("company", ".%1.part").arg(dead),
                                 part.arg("company", ".%1.part-journal").arg(dead)};
    const QStringList kept = {part.arg("company", ".%1.part").arg(getpid()),
                              part.arg("other", ".%1.part").arg(dead),
                              part.arg("company", ".part")};
    for (const QString& name : removed + kept) {
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    }
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    const mode_t umaskWas = umask(022);
    CEmployeeColl employees;
    bool ok = false;
    employees.Backup(0, 0, ok);
    umask(umaskWas);
    EXPECT_EQ(QFile::permissions(employees.backupPath()) & 0x777, 0x600) << "rw by the user alone";
    for (const QString& name : removed + kept) {
        EXPECT_EQ(folder.exists(name), kept.contains(name)) << name.toStdString();
    }
}
