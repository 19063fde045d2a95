// Undo of whole runs through the core, and of records a killed run left.
#include "runs/Undo.h"

#include "SyncFixture.h"
#include "TableFile.h"
#include "cardlib/CardSnapshot.h"
#include "runs/RunFiles.h"
#include "runs/RunRecord.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

class UndoRun : public test::SyncFixture
{
protected:
    // Every file and folder of the store with its bytes.
    QMap<QString, QByteArray> storeState() const
    {
        QMap<QString, QByteArray> state;
        QDirIterator it(store.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            state.insert(path, readAll(path));
        }
        return state;
    }
    std::pair<QStringList, QMap<QString, QByteArray>> state() { return {rows(), storeState()}; }
    UndoOutcome undoLast()
    {
        const RecordedRun run = RecordedRun::read(listRuns(runsFolder()).last());
        return undoRun(run, RunRecord::create(runsFolder(), "undo", run.header).get());
    }
};

class UndoRuns : public UndoRun, public testing::WithParamInterface<QStringList>
{};

TEST_P(UndoRuns, PutBackWhatTheRunChangedAndLeaveWhatChangedSince)
{
    const QStringList& row = GetParam();
    const qint32 direction = row[1].toInt();
    const bool changedSince = row[3] == u"yes";
    settings.disableFolders = row[2].toInt();
    makeCompanyFile();
    ASSERT_TRUE(runExport());
    const CCard card = active("IsIndividual = 'Y'");
    if (direction == 1) {
        changeContact(contactOf(card), {{"HomeAddressCity", "Broome"}});
        addContact(folderOf(card), {{"LastName", "Newcard"}});
    } else {
        setCity(card, "Broome");
    }
    const auto before = state();
    ASSERT_TRUE(transfer(direction));
    const auto after = state();
    ASSERT_NE(after, before);
    for (const QJsonObject& change : RecordedRun::read(listRuns(runsFolder()).last()).changes) {
        const QJsonValue was = change.value(u"before");
        EXPECT_TRUE(!change.contains(u"card") ||
                    TarvoCards::snapshotDigest(was.isObject() ? std::optional(was.toObject())
                                                              : std::nullopt) !=
                        change.value(u"after").toString().toLatin1())
            << "a card the run left as it was is no change";
    }
    if (changedSince && direction == 1) {
        setCity(card, "Edited later");
    } else if (changedSince) {
        changeContact(contactOf(card), {{"HomeAddressCity", "Edited later"}});
    }

    const UndoOutcome undone = undoLast();

    EXPECT_EQ(undone.leftAsIs.size(), changedSince ? 1 : 0) << undone.leftAsIs.join(u'\n');
    if (changedSince) {
        EXPECT_EQ(direction == 1 ? city(card.CardRecordID) : property(card, "HomeAddressCity"),
                  "Edited later");
        return;
    }
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(undoLast().leftAsIs.isEmpty());
    EXPECT_EQ(state(), after) << "an undo is undone like any run";
}

INSTANTIATE_TEST_SUITE_P(Runs, UndoRuns, testing::ValuesIn(test::tableRows("undo.txt")),
                         test::rowName);

// A killed run's last type was rolled back: its lines name cards it never
// changed, which an undo passes over; a damaged record changes nothing.
TEST_F(UndoRun, PassesOverWhatWasNeverWrittenAndRefusesADamagedRecord)
{
    makeCompanyFile();
    const CCard card = active("IsIndividual = 'N'");
    const QStringList before = rows();
    {
        RawFile raw(file);
        const auto record = RunRecord::create(runsFolder(), "import", {{"companyFile", file}});
        const auto snapshot = TarvoCards::cardSnapshot(raw.db(), card.CardRecordID);
        QJsonObject written = *snapshot;
        written.insert("card", QJsonObject{});
        record->wroteCard(card.CardRecordID, snapshot, written);
        record->wroteCard(999999, std::nullopt, written);
    }
    const UndoOutcome undone = undoLast();
    EXPECT_TRUE(undone.done.isEmpty() && undone.leftAsIs.isEmpty());

    QFile journal(listRuns(runsFolder()).first() + "/journal.jsonl");
    ASSERT_TRUE(journal.open(QIODevice::Append));
    journal.write("{\"file\": \"../outside\", \"after\": \"x\"}\n");
    journal.close();
    EXPECT_THROW(RecordedRun::read(QFileInfo(journal).path()), PlatformError);
    EXPECT_EQ(rows(), before);
}

} // namespace
} // namespace brindle
