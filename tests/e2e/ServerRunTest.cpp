// Runs on a company database on a server: two clerks importing at once, and
// a server that stops mid-import.
#include "PostgresServer.h"
#include "Sandbox.h"

#include <QThread>

namespace brindle::test {
namespace {

constexpr int newcomers = 100;

class ServerRun : public ProductTest
{
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        ASSERT_TRUE(PostgresServer::shared().running());
        sandbox->companyFile = PostgresServer::shared().newDatabase();
        sandbox->makeCompanyFile(400);
        expectRun("export");
        // Slow to write (10 ms a card), so that a run is met mid-import.
        RawFile file(sandbox->companyFile);
        file.exec("CREATE FUNCTION slow() RETURNS trigger LANGUAGE plpgsql AS "
                  "$$ BEGIN PERFORM pg_sleep(0.01); RETURN NEW; END $$");
        file.exec(
            "CREATE TRIGGER slow BEFORE INSERT ON Cards FOR EACH ROW EXECUTE FUNCTION slow()");
    }
};

// Both clerks add the same newcomers, and the second one a customer and a
// changed card the first one's store does not hold (a store holding a card
// with older values brings them back, at once or one after the other
// alike). Each card is there once, each change present.
TEST_F(ServerRun, TwoClerksImportingAtOnceLoseNothingAndMakeNothingTwice)
{
    QTemporaryDir otherDir(scratchPath());
    Sandbox other(otherDir.path());
    other.companyFile = sandbox->companyFile;
    QFile::remove(other.hive);
    ASSERT_TRUE(QFile::copy(sandbox->hive, other.hive));
    sandbox->addCustomers("a", newcomers, "Newman Traders ");
    other.addCustomers("b", newcomers, "Newman Traders ");
    other.addCustomers("olive", 1, "Olive Grove ");
    const qint32 theirs = firstCard(sandbox->companyFile, "CardTypeID = 'C' AND Phone1 <> ''");
    const QString path = contactOf(storeFiles(sandbox->store), theirs);
    writeFile(other.store + u'/' + path,
              withPhone(storeFiles(sandbox->store)[path].bytes, "(03) 2222 2222"));
    QFile::remove(sandbox->store + u'/' + path);
    const int before = countCards(sandbox->companyFile, "true");

    QProcess first, second;
    sandbox->start(first, sandbox->arguments("import"));
    other.start(second, other.arguments("import"));
    for (QProcess* run : {&first, &second}) {
        ASSERT_TRUE(run->waitForFinished(120'000));
        EXPECT_EQ(run->exitCode(), 0) << run->readAllStandardError().toStdString();
    }
    EXPECT_EQ(countCards(sandbox->companyFile, "true"), before + newcomers + 1);
    EXPECT_EQ(countCards(sandbox->companyFile, "LastName LIKE 'Newman%' OR LastName LIKE 'Olive%'"),
              newcomers + 1);
    EXPECT_EQ(RawFile(sandbox->companyFile)
                  .column("SELECT Phone1 FROM Addresses WHERE Location = 1 AND CardRecordID = ?",
                          {theirs}),
              "(03) 2222 2222");
}

// The server stops while the customers are written: they are rolled back,
// nothing else changed, the run says why and ends with 1; the next completes.
TEST_F(ServerRun, ServerStoppedMidImportRollsBackTheTypeAndTheNextRunCompletes)
{
    sandbox->addCustomers("a", newcomers, "Newman Traders ");
    const CardRows before = cardRows(sandbox->companyFile);
    QProcess run;
    sandbox->start(run, sandbox->arguments("import"));
    // The slow trigger's sleep shows the run is writing the customers.
    const auto writing = [&] {
        return RawFile(sandbox->companyFile)
                   .value("SELECT count(*) FROM pg_stat_activity WHERE wait_event = 'PgSleep'") !=
               0;
    };
    while (!writing() && run.state() == QProcess::Running) {
        QThread::msleep(20);
    }
    ASSERT_TRUE(PostgresServer::shared().stop());
    ASSERT_TRUE(run.waitForFinished(120'000));
    const QString said = run.readAllStandardError() + run.readAllStandardOutput();
    ASSERT_TRUE(PostgresServer::shared().start());
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(said.contains("The database server ended the connection")) << qPrintable(said);
    EXPECT_EQ(changedKeys(before, cardRows(sandbox->companyFile)), QList<qint32>());
    expectRun("import");
    EXPECT_EQ(cardRows(sandbox->companyFile).size(), before.size() + newcomers);
}

// An undo on a server puts back what the import changed, and leaves a card a
// clerk changed since.
TEST_F(ServerRun, UndoPutsBackTheImportButNotWhatChangedSince)
{
    sandbox->addCustomers("a", 3, "Newman Traders ");
    const qint32 theirs = firstCard(sandbox->companyFile, "CardTypeID = 'C' AND Phone1 <> ''");
    const QString path = contactOf(storeFiles(sandbox->store), theirs);
    writeFile(sandbox->store + u'/' + path,
              withPhone(storeFiles(sandbox->store)[path].bytes, "(03) 2222 2222"));
    const CardRows before = cardRows(sandbox->companyFile);
    expectRun("import");
    RawFile(sandbox->companyFile)
        .exec("UPDATE Cards SET FirstName = 'Al' WHERE LastName = "
              "'Newman Traders 0'");
    const CliRun undo = sandbox->cli({"undo", "--yes"});
    EXPECT_EQ(undo.exitCode, 1) << qPrintable(undo.err);
    EXPECT_TRUE(undo.out.contains("changed since the run")) << qPrintable(undo.out);
    EXPECT_EQ(changedKeys(before, cardRows(sandbox->companyFile)).size(), 1);
    EXPECT_EQ(countCards(sandbox->companyFile, "FirstName = 'Al'"), 1);
}

} // namespace
} // namespace brindle::test
