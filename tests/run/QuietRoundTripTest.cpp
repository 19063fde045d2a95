// An export, then imports under "Ask me to confirm updates": nothing asked
// and nothing moved until a contact changes; a Cancel in the dialog keeps
// the answers given before it.
#include "SyncFixture.h"

#include <QProcess>

namespace brindle {
namespace {

class QuietRoundTrip : public test::SyncFixture
{
protected:
    // Added, changed, unchanged, skipped, rejected and not reached.
    QList<int> tally() const
    {
        const FSummary::Tally& t = summary.tally;
        return {t.added, t.changed, t.unchanged, t.skipped, t.rejected, summary.notReached()};
    }
    // Every table of the company file, row by row.
    QSet<QString> dump() const
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {file, QStringLiteral(".dump")});
        sqlite.waitForFinished();
        const QStringList lines = QString::fromUtf8(sqlite.readAllStandardOutput()).split(u'\n');
        return {lines.begin(), lines.end()};
    }
    void rephone(const char* condition, const char* phone)
    {
        const TarvoCards::CCard card = active(condition);
        changeContact(contactOf(card),
                      {{card.IsIndividual == QLatin1String("Y") ? "HomeTelephoneNumber"
                                                                : "BusinessTelephoneNumber",
                        QString::fromLatin1(phone)}});
    }
};

TEST_F(QuietRoundTrip, AskedAboutWhatChangedAloneAndCancelKeepsTheAnswersBefore)
{
    makeCompanyFile();
    // Cards without addresses and without a second address, which samples lack.
    RawFile(file).exec(QStringLiteral("DELETE FROM Addresses WHERE CardRecordID % 5 = 0 OR "
                                      "(CardRecordID % 5 = 1 AND Location = 2)"));
    ASSERT_TRUE(runExport());
    EXPECT_EQ(tally(), (QList<int>{total, 0, 0, 0, 0, 0})) << "inactive cards are not read";
    const QSet<QString> before = dump();
    settings.rule = 3;
    ASSERT_TRUE(transfer(1));
    EXPECT_EQ(prompts.shown.size() + prompts.notices.size(), 0);
    EXPECT_EQ(tally(), (QList<int>{0, 0, total, 0, 0, 0}));
    EXPECT_EQ(dump(), before);

    rephone("CardTypeID = 'C' AND CardRecordID % 5 = 2", "(03) 1111 2222");
    rephone("CardTypeID = 'E' AND CardRecordID % 5 = 2", "(03) 3333 4444");
    prompts.choices = {FUpdateChoice::Update, FUpdateChoice::CancelRun};
    EXPECT_FALSE(transfer(1));
    ASSERT_EQ(prompts.shown.size(), 2);
    const Differences confirmed = prompts.shown[0].differences();
    ASSERT_EQ(confirmed.size(), 1);
    EXPECT_EQ(confirmed[0].key, QStringLiteral("Phone1"));
    QStringList gone = (before - dump()).values();
    const QStringList added = (dump() - before).values();
    ASSERT_EQ(gone.size(), 1);
    EXPECT_EQ(added, QStringList{gone[0].replace(confirmed[0].existing, confirmed[0].updated)});
    EXPECT_EQ(summary.lblFinishHeader, QStringLiteral("Import Cancelled"));
    const QList<int> counts = tally();
    EXPECT_EQ(counts.mid(0, 5), (QList<int>{0, 1, counts[2], 0, 0}));
    EXPECT_GT(counts[5], 0) << "the cancelled card and those after it";
}

} // namespace
} // namespace brindle
