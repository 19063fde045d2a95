// brindle-cli killed at random moments, and runs against a locked company
// file, a full contact store and a read-only contact: nothing is torn,
// nothing is lost, and the next run finishes the work.
#include "ProductTest.h"
#include "QtPrinters.h"
#include "cardlib/CardFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <iostream>
#include <limits>
#include <random>
#include <sys/mount.h>
#include <sys/statvfs.h>

namespace brindle::test {
namespace {

// What a run is judged by: the cards, and the contacts by the card they
// link to.
struct State
{
    CardRows cards;
    QMap<qint32, QByteArrayList> contacts;
    bool operator==(const State&) const = default;
};

State stateOf(const Sandbox& sandbox)
{
    return {cardRows(sandbox.companyFile), contactsByCard(storeFiles(sandbox.store))};
}

// The keys of what is neither as it was before nor as a whole run left it;
// an item both have and after lacks was lost.
template <typename Map>
QStringList neitherBeforeNorWhole(const Map& before, const Map& whole, const Map& after)
{
    QStringList wrong;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (it.value() != before.value(it.key()) && it.value() != whole.value(it.key())) {
            wrong << QString::number(it.key());
        }
    }
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!after.contains(it.key()) && whole.contains(it.key())) {
            wrong << QString::number(it.key()) + " lost";
        }
    }
    return wrong;
}

// Two hundred cards exported, then work for both directions: cards moved
// and added in the company file, phones changed and customers added in the
// contacts by another program.
class Reliability : public ProductTest
{
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        ASSERT_TRUE(scratch.isValid());
        sandbox->makeCompanyFile(200);
        expectRun("export");
        execSql(sandbox->companyFile,
                "UPDATE Addresses SET City = City || ' North' WHERE Location = 1 "
                "AND CardRecordID % 10 = 0");
        execSql(sandbox->companyFile,
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 14) "
                "INSERT INTO Cards (CardTypeID, LastName, IsIndividual, IsInactive) "
                "SELECT 'S', 'Supplier ' || i, 'N', 'N' FROM n");
        const StoreFiles files = storeFiles(sandbox->store);
        int edited = 0;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            if (++edited % 8 == 0 && it->bytes.contains("\r\nTEL")) {
                writeFile(sandbox->store + u'/' + it.key(),
                          withPhone(it->bytes, QStringLiteral("(02) 5550 %1").arg(edited)));
            }
        }
        sandbox->addCustomers("newcomer-", 10, "Newcomer ");
        before = stateOf(*sandbox);
    }

    // The state a whole run leaves, made on a copy; in duration the quicker
    // of two such runs, so that one stall of the machine does not push
    // every kill past the end.
    State wholeRun(const char* direction)
    {
        Sandbox whole(scratch.filePath("whole"));
        duration = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 2; ++i) {
            whole.copyFrom(*sandbox);
            QElapsedTimer timer;
            timer.start();
            const CliRun run = whole.run(direction);
            duration = std::min(duration, timer.elapsed());
            EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out + run.err);
        }
        return stateOf(whole);
    }

    // Every contact file whole, every card and contact as before or as a
    // whole run leaves it, the company file sound.
    void expectNothingTorn(const Sandbox& left, const State& whole, const QString& at)
    {
        const StoreFiles files = storeFiles(left.store);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            EXPECT_EQ(vcardProblem(it->bytes), QString()) << qPrintable(at + ": " + it.key());
        }
        EXPECT_EQ(neitherBeforeNorWhole(before.contacts, whole.contacts, contactsByCard(files)),
                  QStringList())
            << qPrintable(at);
        EXPECT_EQ(integrityCheck(left.companyFile), "ok") << qPrintable(at);
        EXPECT_EQ(neitherBeforeNorWhole(before.cards, whole.cards, cardRows(left.companyFile)),
                  QStringList())
            << qPrintable(at);
    }
    // The next run completes, writes to the hive (no lock a killed run left
    // keeps it out) and leaves what a whole run leaves.
    void expectTheNextRunFinishes(const Sandbox& left, const char* direction, const State& whole,
                                  const QString& at)
    {
        left.setSetting("AppPath", QString());
        const CliRun again = left.run(direction);
        EXPECT_EQ(again.exitCode, 0) << qPrintable(at + ": " + again.out + again.err);
        EXPECT_NE(left.setting("AppPath"), QString()) << qPrintable(at);
        const State finished = stateOf(left);
        EXPECT_EQ(changedKeys(whole.cards, finished.cards), QList<qint32>()) << qPrintable(at);
        EXPECT_TRUE(finished.contacts == whole.contacts) << qPrintable(at);
    }

    QTemporaryDir scratch{scratchPath()};
    State before;
    qint64 duration = 0;
};

struct KillRow
{
    const char* direction;
    int kills;
    quint32 seed;
};

class KilledRun : public Reliability, public testing::WithParamInterface<KillRow>
{};

// The kills are spread evenly over a little more than a whole run's time,
// each at a seeded random moment of its share, so they meet every phase.
TEST_P(KilledRun, LeavesNothingTornAndTheNextRunFinishesTheWork)
{
    const KillRow& row = GetParam();
    const State whole = wholeRun(row.direction);
    ASSERT_FALSE(whole == before);
    std::mt19937 random(row.seed);
    std::uniform_real_distribution<double> share(0, 1);
    int untouched = 0;
    int partly = 0;
    int complete = 0;
    for (int i = 0; i < row.kills; ++i) {
        const QString root = scratch.filePath(QStringLiteral("kill-%1").arg(i));
        const Sandbox killed(root);
        killed.copyFrom(*sandbox);
        const int delay = int((i + share(random)) / row.kills * 1.25 * double(duration));
        const QString at = QStringLiteral("kill %1 after %2 ms").arg(i).arg(delay);
        QProcess process;
        killed.start(process, row.direction);
        if (!process.waitForFinished(delay)) {
            process.kill();
            process.waitForFinished();
        }
        // The company file as the kill left it, journal and all, is judged
        // on a copy: the next run must cope with the original itself.
        const Sandbox left(root + "/left");
        for (const QString& suffix : {"", "-journal"}) {
            QFile::copy(killed.companyFile + suffix, left.companyFile + suffix);
        }
        copyFolder(killed.store, left.store);
        // Whatever a killed export left, its record puts back. (An import's
        // undo removes the cards it added for good, so its next run numbers
        // them anew: tests/run/UndoTest.cpp covers it.)
        if (*row.direction == 'e') {
            const CliRun undone = killed.cli({"undo", "--yes"});
            EXPECT_TRUE(stateOf(killed) == before)
                << qPrintable(at + ": " + undone.out + undone.err);
        }
        expectTheNextRunFinishes(killed, row.direction, whole, at);
        expectNothingTorn(left, whole, at);
        EXPECT_EQ(killed.setting("SuppressReport"), "False") << qPrintable(at);
        for (const QString& backup : QDir(root).entryList({"*-backup-*.sqlite"}, QDir::Files)) {
            EXPECT_EQ(integrityCheck(root + u'/' + backup), "ok") << qPrintable(at + ": " + backup);
        }
        const State after = stateOf(left);
        (after == before ? untouched : after == whole ? complete : partly) += 1;
        QDir(root).removeRecursively();
    }
    std::cout << "      " << row.direction << ": " << row.kills << " kills over "
              << int(1.25 * double(duration)) << " ms left " << untouched << " untouched, "
              << partly << " partly written, " << complete << " complete\n";
    EXPECT_GT(untouched, 0) << "some kills come before the run writes";
    EXPECT_GT(partly + complete, 0) << "some come after it has written";
}

INSTANTIATE_TEST_SUITE_P(Directions, KilledRun,
                         testing::Values(KillRow{"export", 20, 11}, KillRow{"import", 20, 12}),
                         [](const testing::TestParamInfo<KillRow>& info) {
                             return info.param.direction;
                         });

class AdverseRun;

struct AdverseRow
{
    const char* name;
    const char* direction;
    void (*arrange)(AdverseRun&); // makes the trouble
    void (*release)(AdverseRun&); // takes it away again
    const char* says;             // why the run did not complete
};

class AdverseRun : public Reliability, public testing::WithParamInterface<AdverseRow>
{
public:
    void TearDown() override
    {
        lock.reset();
        if (!mounted.isEmpty()) {
            umount2(QFile::encodeName(mounted).constData(), MNT_DETACH);
        }
        Reliability::TearDown();
    }

    // A file system of its own for the store, with room for what it holds
    // and a few new contacts; without the right to mount one, no file may
    // grow past a contact's size.
    void fillStore()
    {
        const QString saved = sandbox->store + ".saved";
        ASSERT_TRUE(QDir().rename(sandbox->store, saved));
        ASSERT_TRUE(QDir().mkpath(sandbox->store));
        const qint64 pages = storeFiles(saved).size() + 64;
        const QByteArray size = "size=" + QByteArray::number(pages * 4) + "k";
        if (mount("tmpfs", QFile::encodeName(sandbox->store).constData(), "tmpfs", 0,
                  size.constData()) != 0) {
            ASSERT_TRUE(QDir(sandbox->store).removeRecursively());
            ASSERT_TRUE(QDir().rename(saved, sandbox->store));
            sandbox->fileSizeLimit = 600;
            return;
        }
        mounted = sandbox->store;
        copyFolder(saved, sandbox->store);
        struct statvfs space
        {};
        ASSERT_EQ(statvfs(QFile::encodeName(sandbox->store).constData(), &space), 0);
        filler = sandbox->store + "/.filler";
        writeFile(filler, QByteArray(qint64(space.f_bavail - 6) * qint64(space.f_bsize), 'x'));
    }
    // Another program's transaction: an exclusive one keeps every other
    // connection out, a reading one keeps writers out.
    void lockCompanyFile(bool exclusive)
    {
        lock = std::make_unique<RawFile>(sandbox->companyFile);
        lock->exec(exclusive ? "BEGIN EXCLUSIVE" : "BEGIN");
        lock->value(QStringLiteral("SELECT count(*) FROM Cards"));
    }
    void unlockCompanyFile() { lock.reset(); }
    void emptyStore()
    {
        if (!filler.isEmpty()) {
            QFile::remove(filler);
        }
        sandbox->fileSizeLimit = 0;
    }
    // The contact of a card the export changes, made read-only.
    void setReadOnly(QFile::Permissions permissions)
    {
        const qint32 card = firstCard(sandbox->companyFile, "CardRecordID % 10 = 0");
        readOnly = sandbox->store + u'/' + contactOf(storeFiles(sandbox->store), card);
        ASSERT_TRUE(QFile::setPermissions(readOnly, permissions));
    }

    std::unique_ptr<RawFile> lock;
    QString mounted;
    QString filler;
    QString readOnly;
};

TEST_P(AdverseRun, EndsWithAReasonAndTheSummaryAndLosesNothing)
{
    const AdverseRow& row = GetParam();
    const State whole = wholeRun(row.direction);
    row.arrange(*this);
    const CliRun run = sandbox->run(row.direction);
    row.release(*this);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String(row.says))) << qPrintable(run.err);
    const QString summary =
        QLatin1String(*row.direction == 'e' ? "Brindle - Export Summary\n"
                                            : "Brindle - Import Summary\n") +
        QLatin1String(*row.direction == 'e' ? "Export Cancelled\n" : "Import Cancelled\n");
    EXPECT_TRUE(run.out.contains(summary)) << qPrintable(run.out);
    expectNothingTorn(*sandbox, whole, QString::fromLatin1(row.name));
    EXPECT_EQ(temporaryFiles(sandbox->store), QStringList());
    expectTheNextRunFinishes(*sandbox, row.direction, whole, QString::fromLatin1(row.name));
}

INSTANTIATE_TEST_SUITE_P(
    Troubles, AdverseRun,
    testing::Values(
        AdverseRow{"company_file_locked_export", "export",
                   [](AdverseRun& t) { t.lockCompanyFile(true); },
                   [](AdverseRun& t) { t.unlockCompanyFile(); }, "locked by another program"},
        AdverseRow{"company_file_locked_import", "import",
                   [](AdverseRun& t) { t.lockCompanyFile(true); },
                   [](AdverseRun& t) { t.unlockCompanyFile(); }, "locked by another program"},
        AdverseRow{"company_file_read_by_another_import", "import",
                   [](AdverseRun& t) { t.lockCompanyFile(false); },
                   [](AdverseRun& t) { t.unlockCompanyFile(); }, "locked"},
        AdverseRow{"contact_store_full_export", "export", [](AdverseRun& t) { t.fillStore(); },
                   [](AdverseRun& t) { t.emptyStore(); }, "Cannot write"},
        AdverseRow{"contact_file_read_only_export", "export",
                   [](AdverseRun& t) {
                       t.setReadOnly(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
                   },
                   [](AdverseRun& t) {
                       t.setReadOnly(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther);
                   },
                   "Permission denied: cannot write"}),
    [](const testing::TestParamInfo<AdverseRow>& info) { return info.param.name; });

} // namespace
} // namespace brindle::test
