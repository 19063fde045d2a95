#include "CardFixture.h"
#include "cardlib/Backup.h"
#include "cardlib/ServerBackup.h"

#include <QDir>
#include <QFileInfo>
#include <sys/wait.h>
#include <unistd.h>

using namespace TarvoCards;

namespace {

class CardBackup : public CardTest
{
protected:
    // The backup's rows: a file of its own, or a schema of the company database.
    QString saved(const QString& backup, QString sql)
    {
        return server() ? RawFile(m_file).column(sql.replace("FROM ", "FROM " + backup + "."))
                        : RawFile(backup).column(sql);
    }
    int restore(const QString& backup)
    {
        return server() ? restoreServerCards(m_file, backup) : restoreCards(m_file, backup);
    }
};

// What only a backup file has: its mode and the leftovers of killed runs.
class CardBackupFile : public CardBackup
{};

} // namespace

CARD_ENGINES(CardBackup, fileEngine, serverEngine);
CARD_ENGINES(CardBackupFile, fileEngine);

TEST_P(CardBackup, FillsTheCollectionAndWritesABackupThatRestores)
{
    CEmployeeColl employees;
    bool ok = false;
    employees.Backup(m_connection, 0, 0, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(employees.Count(), 2);
    const CImportCard* carter = employees.Item(cardKey(m_carter));
    ASSERT_NE(carter, nullptr);
    EXPECT_EQ(carter->InvoiceDeliveryID + carter->CardTypeID + carter->LastName, "PE")
        << "the backup holds the rest";
    const QString backup = employees.backupPath();
    EXPECT_EQ(saved(backup, "SELECT LastName FROM Cards ORDER BY CardRecordID"), "Carter,Evans");
    EXPECT_EQ(saved(backup, "SELECT Email FROM Addresses"), "ann@example.com");
    EXPECT_EQ(saved(backup, "SELECT CountryCode FROM Information"), "1");
    if (!server()) {
        EXPECT_EQ(QFileInfo(backup).dir(), QFileInfo(m_file).dir());
        EXPECT_TRUE(QFileInfo(backup).fileName().startsWith("company-backup-"));
        EXPECT_FALSE(QFileInfo::exists(backup + ".part"));
        const char* schema = "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY name";
        EXPECT_EQ(RawFile(backup).column(schema), RawFile(m_file).column(schema))
            << "a backup is a company file like any other, indexes and all";
    }
    CSupplierColl suppliers;
    suppliers.Backup(m_connection, 0, 0, ok);
    EXPECT_EQ(suppliers.Count(), 2);
    EXPECT_NE(suppliers.backupPath(), backup);

    CEmployeeColl changes;
    CImportCard& carterNow = changes.Add(0);
    carterNow.CardRecordID = m_carter;
    carterNow.LastName = "Carter-Jones";
    carterNow.Addresses.Add() = CAddress{.Location = 1, .Email = "new@example.com"};
    changes.Add(0).LastName = "Newcomer";
    ASSERT_TRUE(changes.Import(m_connection));
    m_connection.Disconnect();
    EXPECT_EQ(restore(backup), 2);
    connect();
    CEmployeeColl after;
    after.Backup(m_connection, 0, 0, ok);
    ASSERT_EQ(after.Count(), 3);
    EXPECT_EQ(*after.Item(cardKey(m_carter)), *carter);
    EXPECT_EQ(stored("SELECT LastName || Email FROM Cards JOIN Addresses USING (CardRecordID) "
                     "WHERE CardRecordID = ?",
                     m_carter),
              "Carterann@example.com");
}

TEST_P(CardBackup, RestoreFromAFileThatIsNoBackupChangesNothing)
{
    const QString bogus = server() ? "bogus" : path("bogus.sqlite");
    RawFile(server() ? m_file : bogus).exec(server() ? "CREATE SCHEMA bogus" : "SELECT 1");
    RawFile(server() ? m_file : bogus)
        .exec(server() ? "CREATE TABLE bogus.Cards (x INTEGER)" : "CREATE TABLE Cards (x)");
    m_connection.Disconnect();
    for (const QString& backup :
         {bogus, server() ? "none; DROP TABLE Cards" : path("none.sqlite")}) {
        EXPECT_THROW(restore(backup), brindle::PlatformError);
    }
    EXPECT_EQ(cardCount(), 8);
}

// Parts named "<company>-backup-….sqlite.<pid>.part": only a dead writer's
// parts of this company file are removed.
TEST_P(CardBackupFile, IsAsPrivateAsTheCompanyFileAndClearsWhatKilledRunsLeft)
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
    employees.Backup(m_connection, 0, 0, ok);
    umask(umaskWas);
    EXPECT_EQ(QFile::permissions(employees.backupPath()) & 0x777, 0x600) << "rw by the user alone";
    for (const QString& name : removed + kept) {
        EXPECT_EQ(folder.exists(name), kept.contains(name)) << name.toStdString();
    }
}
