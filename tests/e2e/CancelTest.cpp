// A run cancelled by the user part way through, on sample data: every card
// and every contact is either as it was or as a whole run writes it.
#include "RunFixture.h"
#include "Sandbox.h"

namespace brindle::test {
namespace {

enum class Expect
{
    NothingWritten,
    PartWritten
};

struct CancelRow
{
    const char* name;
    qint32 direction;
    double at; // the share of a whole run's message pumps after which Cancel is clicked
    Expect expect;
};

class CancelledRun : public RunFixture, public testing::WithParamInterface<CancelRow>
{
protected:
    // One run through the core, cancelled at that pump of the message loop
    // when given; the pumps and the summary's heading are kept.
    bool transfer(qint32 direction, int cancelAtPump = 0)
    {
        ScriptedProgress progress;
        FSummary summary;
        MMain::glTransferAction = direction;
        FProcess run(prompts, progress, summary);
        if (cancelAtPump > 0) {
            progress.atPump[cancelAtPump] = ScriptedProgress::cancel();
        }
        progress.show(run);
        const bool ok = run.ProcessData();
        pumps = progress.pumps;
        heading = summary.lblFinishHeader;
        return ok;
    }
    // Points the run at another company file and contact store.
    static void useFiles(const QString& companyFile, const QString& storeRoot)
    {
        MMain::gobjOptions = std::make_unique<clsOptions>();
        MMain::gobjOptions->Analyse(QStringLiteral("DATABASE=") + companyFile +
                                    QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES"
                                                   "<PERSONAL=YES"));
        qputenv("BRINDLE_CONTACTS", storeRoot.toUtf8());
    }

    int pumps = 0;
    QString heading;
};

// Every card has moved house since the contacts were exported, so a whole
// export rewrites every contact and a whole import moves every card back.
TEST_P(CancelledRun, LeavesEachCardAndContactWholeOrUntouched)
{
    const CancelRow& row = GetParam();
    makeCompanyFile(1, 300);
    ASSERT_TRUE(transfer(2));
    execSql(file, QStringLiteral("UPDATE Addresses SET City = City || ' North' WHERE City <> ''"));
    const CardRows cardsBefore = cardRows(file);
    const StoreFiles contactsBefore = storeFiles(store.path());

    const QString wholeFile = folder.filePath(QStringLiteral("whole.sqlite"));
    const QString wholeStore = folder.filePath(QStringLiteral("whole-contacts"));
    ASSERT_TRUE(QFile::copy(file, wholeFile));
    copyFolder(store.path(), wholeStore);
    useFiles(wholeFile, wholeStore);
    ASSERT_TRUE(transfer(row.direction));
    const CardRows cardsWhole = cardRows(wholeFile);
    const StoreFiles contactsWhole = storeFiles(wholeStore);

    useFiles(file, store.path());
    EXPECT_FALSE(transfer(row.direction, int(pumps * row.at)));
    EXPECT_EQ(heading, row.direction == 1 ? QStringLiteral("Import Cancelled")
                                          : QStringLiteral("Export Cancelled"));

    const CardRows cardsAfter = cardRows(file);
    EXPECT_EQ(cardsAfter.keys(), cardsBefore.keys());
    int writtenCards = 0;
    for (auto it = cardsAfter.cbegin(); it != cardsAfter.cend(); ++it) {
        const bool untouched = it.value() == cardsBefore[it.key()];
        EXPECT_TRUE(untouched || it.value() == cardsWhole[it.key()]) << "card " << it.key();
        writtenCards += !untouched;
    }
    EXPECT_EQ(integrityCheck(file), QStringLiteral("ok"));

    const StoreFiles contactsAfter = storeFiles(store.path());
    EXPECT_EQ(contactsAfter.keys(), contactsBefore.keys());
    int writtenContacts = 0;
    for (auto it = contactsAfter.cbegin(); it != contactsAfter.cend(); ++it) {
        const bool untouched = it->bytes == contactsBefore[it.key()].bytes;
        EXPECT_TRUE(untouched || it->bytes == contactsWhole[it.key()].bytes)
            << qPrintable(it.key());
        EXPECT_EQ(vcardProblem(it->bytes), QString()) << qPrintable(it.key());
        writtenContacts += !untouched;
    }
    EXPECT_EQ(temporaryFiles(store.path()), QStringList());

    const int written = row.direction == 1 ? writtenCards : writtenContacts;
    const int whole = row.direction == 1 ? int(changedKeys(cardsBefore, cardsWhole).size())
                                         : int(changedKeys(contactsBefore, contactsWhole).size());
    ASSERT_GT(whole, 100) << "a whole run changes most cards";
    if (row.expect == Expect::NothingWritten) {
        EXPECT_EQ(written, 0);
    } else {
        EXPECT_GT(written, 0);
        EXPECT_LT(written, whole);
    }
    EXPECT_EQ(row.direction == 1 ? writtenContacts : writtenCards, 0) << "the source is only read";
}

INSTANTIATE_TEST_SUITE_P(
    Moments, CancelledRun,
    testing::Values(CancelRow{"export_while_comparing", 2, 0.2, Expect::NothingWritten},
                    CancelRow{"export_halfway", 2, 0.6, Expect::PartWritten},
                    CancelRow{"import_while_comparing", 1, 0.2, Expect::NothingWritten},
                    CancelRow{"import_halfway", 1, 0.6, Expect::PartWritten}),
    [](const testing::TestParamInfo<CancelRow>& info) { return info.param.name; });

} // namespace
} // namespace brindle::test
