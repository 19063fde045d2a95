// brindle-cli killed at random moments, and runs against a locked company
// file, a full contact store and a read-only contact: nothing is torn,
// nothing is lost, and the next run finishes the work.
#include "QtPrinters.h"
#include "Sandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
QList<qint32> neitherBeforeNorWhole(const Map& before, const Map& whole, const Map& after)
{
    QList<qint32> wrong;
    for (const qint32 key : before.keys() + after.keys()) {
        if (after.value(key) != before.value(key) && after.value(key) != whole.value(key)) {
            wrong << key;
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
        RawFile file(sandbox->companyFile);
        file.exec("UPDATE Addresses SET City = City || ' North' WHERE Location = 1 "
                  "AND CardRecordID % 10 = 0");
        file.exec("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 14) "
                  "INSERT INTO Cards (CardTypeID, LastName, IsIndividual, IsInactive) "
                  "SELECT 'S', 'Supplier ' || i, 'N', 'N' FROM n");
        const StoreFiles files = storeFiles(sandbox->store);
        int edited = 0;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            if (++edited % 8 == 0 && it->bytes.contains("\r\nTEL")) {
                writeFile(sandbox->store + u'/' + it.key(),
                          withPhone(it->bytes, "(02) 5550 " + QString::number(edited)));
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

    // In left every contact file whole, every card and contact as before or
    // as a whole run leaves it, the company file sound. Then the next run in
    // next completes, writes to the hive (no lock a killed run left keeps it
    // out) and leaves what a whole run leaves.
    void expectNothingTornAndTheNextRunFinishes(const Sandbox& left, const Sandbox& next,
                                                const char* direction, const State& whole)
    {
        const StoreFiles files = storeFiles(left.store);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            EXPECT_EQ(vcardProblem(it->bytes), QString()) << qPrintable(it.key());
        }
        EXPECT_EQ(neitherBeforeNorWhole(before.contacts, whole.contacts, contactsByCard(files)),
                  QList<qint32>());
        EXPECT_EQ(RawFile(left.companyFile).column("PRAGMA integrity_check"), "ok");
        EXPECT_EQ(neitherBeforeNorWhole(before.cards, whole.cards, cardRows(left.companyFile)),
                  QList<qint32>());
        next.setSetting("AppPath", QString());
        const CliRun again = next.run(direction);
        EXPECT_EQ(again.exitCode, 0) << qPrintable(again.out + again.err);
        EXPECT_NE(next.setting("AppPath"), QString());
        const State finished = stateOf(next);
        EXPECT_EQ(changedKeys(whole.cards, finished.cards), QList<qint32>());
        EXPECT_TRUE(finished.contacts == whole.contacts);
    }

    QTemporaryDir scratch{scratchPath()};
    State before;
    qint64 duration = 0;
};

class KilledRun : public Reliability, public testing::WithParamInterface<const char*>
{};

// The kills are spread evenly over a little more than a whole run's time,
// each at a seeded random moment of its share, so they meet every phase;
// on a machine slower than when the run was timed, they go on later.
TEST_P(KilledRun, LeavesNothingTornAndTheNextRunFinishesTheWork)
{
    const char* direction = GetParam();
    const int kills = 20;
    const State whole = wholeRun(direction);
    ASSERT_FALSE(whole == before);
    std::mt19937 random(*direction);
    std::uniform_real_distribution<double> share(0, 1);
    int untouched = 0;
    int written = 0;
    for (int i = 0; i < kills || (written == 0 && i < 2 * kills); ++i) {
        const QString root = scratch.filePath("kill-" + QString::number(i));
        const Sandbox killed(root);
        killed.copyFrom(*sandbox);
        const int delay = int((i + share(random)) / kills * 1.25 * double(duration));
        SCOPED_TRACE("kill " + std::to_string(i) + " after " + std::to_string(delay) + " ms");
        QProcess process;
        killed.start(process, killed.arguments(direction));
        if (!process.waitForFinished(delay)) {
            process.kill();
            process.waitForFinished();
        }
        // The company file as the kill left it, journal and all, is judged
        // on a copy: the next run must cope with the original itself.
        const Sandbox left(root + "/left");
        for (const char* suffix : {"", "-journal"}) {
            QFile::copy(killed.companyFile + suffix, left.companyFile + suffix);
        }
        copyFolder(killed.store, left.store);
        // Whatever a killed export left, its record puts back. (An import's
        // undo removes the cards it added for good, so its next run numbers
        // them anew: tests/run/UndoTest.cpp covers it.)
        if (*direction == 'e') {
            const CliRun undone = killed.cli({"undo", "--yes"});
            EXPECT_TRUE(stateOf(killed) == before) << qPrintable(undone.out + undone.err);
        }
        expectNothingTornAndTheNextRunFinishes(left, killed, direction, whole);
        EXPECT_EQ(killed.setting("SuppressReport"), "False");
        for (const QString& backup : QDir(root).entryList({"*-backup-*.sqlite"}, QDir::Files)) {
            EXPECT_EQ(RawFile(root + '/' + backup).column("PRAGMA integrity_check"), "ok");
        }
        (stateOf(left) == before ? untouched : written) += 1;
        QDir(root).removeRecursively();
    }
    EXPECT_GT(untouched, 0) << "some kills come before the run writes";
    EXPECT_GT(written, 0) << "some come after it has written";
}

INSTANTIATE_TEST_SUITE_P(Directions, KilledRun, testing::Values("export", "import"),
                         [](const auto& info) { return std::string(info.param); });

struct AdverseRow
{
    const char* name;
    const char* direction;
    // x: the company file locked, r: read by another program, f: the
    // contact store full, o: a contact read-only
    char trouble;
    const char* says; // why the run did not complete
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

    void arrange(char trouble)
    {
        if (trouble == 'f') {
            return fillStore();
        }
        if (trouble == 'o') { // the contact of a card the export changes
            const qint32 card = firstCard(sandbox->companyFile, "CardRecordID % 10 = 0");
            readOnly = sandbox->store + u'/' + contactOf(storeFiles(sandbox->store), card);
            ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadOther));
            return;
        }
        // Another program's transaction: an exclusive one keeps every other
        // connection out, a reading one keeps writers out.
        lock = std::make_unique<RawFile>(sandbox->companyFile);
        lock->exec(trouble == 'x' ? "BEGIN EXCLUSIVE" : "BEGIN");
        lock->value("SELECT count(*) FROM Cards");
    }
    void release()
    {
        lock.reset();
        if (!filler.isEmpty()) {
            QFile::remove(filler);
        }
        sandbox->fileSizeLimit = 0;
        if (!readOnly.isEmpty()) {
            QFile::setPermissions(readOnly, QFile::permissions(readOnly) | QFile::WriteOwner);
        }
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
        struct statvfs space = {};
        ASSERT_EQ(statvfs(QFile::encodeName(sandbox->store).constData(), &space), 0);
        filler = sandbox->store + "/.filler";
        writeFile(filler, QByteArray(qint64(space.f_bavail - 6) * qint64(space.f_bsize), 'x'));
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
    arrange(row.trouble);
    const CliRun run = sandbox->run(row.direction);
    release();
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(row.says)) << qPrintable(run.err);
    EXPECT_TRUE(run.out.contains(*row.direction == 'e'
                                     ? "Brindle - Export Summary\nExport Cancelled\n"
                                     : "Brindle - Import Summary\nImport Cancelled\n"))
        << qPrintable(run.out);
    EXPECT_EQ(storeFiles(sandbox->store, {".*.tmp"}, QDir::Hidden).keys(), QStringList())
        << "saves left behind";
    expectNothingTornAndTheNextRunFinishes(*sandbox, *sandbox, row.direction, whole);
}

INSTANTIATE_TEST_SUITE_P(
    Troubles, AdverseRun,
    testing::Values(
        AdverseRow{"company_file_locked_export", "export", 'x', "locked by another program"},
        AdverseRow{"company_file_locked_import", "import", 'x', "locked by another program"},
        AdverseRow{"company_file_read_by_another_import", "import", 'r', "locked"},
        AdverseRow{"contact_store_full_export", "export", 'f', "Cannot write"},
        AdverseRow{"contact_file_read_only_export", "export", 'o',
                   "Permission denied: cannot write"}),
    rowName);

} // namespace
} // namespace brindle::test
