// Runs on a company database on a server: two clerks importing at once, and
// a server that stops mid-import.
#include "PostgresServer.h"
#include "ProductTest.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>

namespace brindle::test {
namespace {

class ServerRun : public ProductTest
{
protected:
    static constexpr int newcomers = 100;

    void SetUp() override
    {
        ProductTest::SetUp();
        ASSERT_TRUE(PostgresServer::shared().running());
        sandbox->companyFile = PostgresServer::shared().newDatabase();
        sandbox->makeCompanyFile(400);
        expectRun("export");
    }

    // Gives the contact of a card a new phone number in one clerk's store.
    void changePhone(const Sandbox& clerk, qint32 card, const QString& phone) const
    {
        const StoreFiles files = storeFiles(clerk.store);
        const QString path = contactOf(files, card);
        static const QRegularExpression tel(QStringLiteral("\r\n(TEL[^:]*:)[^\r]*\r\n"));
        QString text = QString::fromUtf8(files[path].bytes);
        text.replace(tel, QStringLiteral("\r\n\\1") + phone + QStringLiteral("\r\n"));
        writeFile(clerk.store + u'/' + path, text.toUtf8());
    }

    static void addCustomer(const Sandbox& clerk, const QString& uid, const QByteArray& name)
    {
        writeFile(clerk.store + QStringLiteral("/Contacts/VEXO Customers/%1.vcf").arg(uid),
                  "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:" + uid.toUtf8() + "\r\nN:" + name +
                      ";;;;\r\nFN:" + name + "\r\nEND:VCARD\r\n");
    }

    // Newcomers slow to write (10 ms each), so that a run is seen mid-import.
    void addSlowNewcomers(const Sandbox& clerk, const QString& tag) const
    {
        execSql(sandbox->companyFile,
                "CREATE OR REPLACE FUNCTION slow() RETURNS trigger LANGUAGE plpgsql AS "
                "$$ BEGIN PERFORM pg_sleep(0.01); RETURN NEW; END $$");
        execSql(sandbox->companyFile, "CREATE OR REPLACE TRIGGER slow BEFORE INSERT ON Cards "
                                      "FOR EACH ROW EXECUTE FUNCTION slow()");
        for (int i = 0; i < newcomers; ++i) {
            addCustomer(clerk, QStringLiteral("newcomer-%1%2").arg(tag).arg(i),
                        "Newman Traders " + QByteArray::number(i));
        }
    }

    qint32 phoned(int n) const
    {
        return sqlValue(sandbox->companyFile,
                        QStringLiteral("SELECT CardRecordID FROM Addresses WHERE Location = 1 AND "
                                       "Phone1 <> '' AND CardRecordID IN (SELECT CardRecordID "
                                       "FROM Cards WHERE CardTypeID = 'C' AND IsInactive = 'N') "
                                       "ORDER BY CardRecordID OFFSET %1 LIMIT 1")
                            .arg(n))
            .toInt();
    }

    QString phoneOf(qint32 card) const
    {
        return sqlValue(sandbox->companyFile,
                        QStringLiteral("SELECT Phone1 FROM Addresses WHERE Location = 1 AND "
                                       "CardRecordID = %1")
                            .arg(card))
            .toString();
    }
};

// Both clerks add the same newcomers, slow to write so that the two imports
// meet; each changes a card the other's store does not hold (a store that
// holds a card with older values brings them back, at once or one after the
// other alike). Afterwards each card is there once, with both changes.
TEST_F(ServerRun, TwoClerksImportingAtOnceLoseNothingAndMakeNothingTwice)
{
    QTemporaryDir otherDir(scratchPath());
    Sandbox other(otherDir.path());
    other.companyFile = sandbox->companyFile;
    QFile::remove(other.hive);
    ASSERT_TRUE(QFile::copy(sandbox->hive, other.hive));
    const qint32 mine = phoned(0), theirs = phoned(1);
    const QString theirsPath = contactOf(storeFiles(sandbox->store), theirs);
    QDir().mkpath(other.store + QStringLiteral("/Contacts/VEXO Customers"));
    writeFile(other.store + u'/' + theirsPath, storeFiles(sandbox->store)[theirsPath].bytes);
    QFile::remove(sandbox->store + u'/' + theirsPath);
    changePhone(*sandbox, mine, "(03) 1111 1111");
    changePhone(other, theirs, "(03) 2222 2222");
    addSlowNewcomers(*sandbox, "a");
    addSlowNewcomers(other, "b");
    addCustomer(other, "olive", "Olive Grove");
    const int before = sqlValue(sandbox->companyFile, "SELECT count(*) FROM Cards").toInt();

    QProcess first, second;
    sandbox->start(first, "import");
    other.start(second, "import");
    for (QProcess* run : {&first, &second}) {
        ASSERT_TRUE(run->waitForFinished(120'000));
        EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
    }
    EXPECT_EQ(sqlValue(sandbox->companyFile, "SELECT count(*) FROM Cards").toInt(),
              before + newcomers + 1);
    EXPECT_EQ(sqlValue(sandbox->companyFile,
                       "SELECT count(DISTINCT LastName) FROM Cards WHERE LastName LIKE 'Newman%'")
                  .toInt(),
              newcomers);
    EXPECT_EQ(sqlValue(sandbox->companyFile, "SELECT count(*) FROM Cards WHERE LastName = "
                                             "'Olive Grove'")
                  .toInt(),
              1);
    EXPECT_EQ(phoneOf(mine), "(03) 1111 1111");
    EXPECT_EQ(phoneOf(theirs), "(03) 2222 2222");
}

// The server stops while the customers are written: they are rolled back,
// nothing else changed, the run says why and ends with 1; the next completes.
TEST_F(ServerRun, ServerStoppedMidImportRollsBackTheTypeAndTheNextRunCompletes)
{
    addSlowNewcomers(*sandbox, "a");
    const CardRows before = cardRows(sandbox->companyFile);
    QProcess run;
    sandbox->start(run, "import");
    const QString held = "SELECT count(*) FROM pg_locks WHERE granted AND mode = "
                         "'ShareRowExclusiveLock'";
    while (sqlValue(sandbox->companyFile, held).toInt() == 0 && run.state() == QProcess::Running) {
        QThread::msleep(20);
    }
    QThread::msleep(200);
    ASSERT_TRUE(PostgresServer::shared().stop());
    ASSERT_TRUE(run.waitForFinished(120'000));
    const QString said =
        QString::fromUtf8(run.readAllStandardError() + run.readAllStandardOutput());
    ASSERT_TRUE(PostgresServer::shared().start());
    EXPECT_EQ(run.exitCode(), 1) << qPrintable(said);
    EXPECT_TRUE(said.contains("The database server ended the connection")) << qPrintable(said);
    EXPECT_EQ(changedKeys(before, cardRows(sandbox->companyFile)), QList<qint32>());
    expectRun("import");
    EXPECT_EQ(cardRows(sandbox->companyFile).size(), before.size() + newcomers);
}

} // namespace
} // namespace brindle::test
