// An export followed by an import under "Ask me to confirm updates": the
// user is asked about what changed in between, and nothing else moves.
#include "ExportFixture.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace brindle {
namespace {

using TarvoCards::CCard;

class QuietRoundTrip : public test::ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        makeCompanyFile();
        // Cards without addresses and without a second address, which the
        // sample file does not make.
        RawFile(file).exec(QStringLiteral(
            "DELETE FROM Addresses WHERE CardRecordID % 5 = 0 OR (CardRecordID % 5 = 1 AND "
            "Location = 2)"));
        ASSERT_TRUE(runExport());
        EXPECT_EQ(tally(), (QList<int>{total, 0, 0, 0, 0, 0})) << "inactive cards are not read";
        MMain::glRulesFilter = 3;
    }

    // Added, changed, unchanged, skipped, rejected and not reached.
    QList<int> tally() const
    {
        const FSummary::Tally& t = summary.tally;
        return {t.added, t.changed, t.unchanged, t.skipped, t.rejected, summary.notReached()};
    }

    // Every row of every table of the company file.
    QStringList dump()
    {
        RawFile raw(file);
        QStringList all;
        QSqlQuery tables(raw.db());
        EXPECT_TRUE(tables.exec(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")));
        while (tables.next()) {
            QSqlQuery rows(raw.db());
            EXPECT_TRUE(rows.exec(QStringLiteral("SELECT * FROM ") + tables.value(0).toString() +
                                  QStringLiteral(" ORDER BY 1, 2")));
            while (rows.next()) {
                QStringList values{tables.value(0).toString()};
                for (int i = 0; i < rows.record().count(); ++i) {
                    values << rows.value(i).toString();
                }
                all << values.join(u'|');
            }
        }
        return all;
    }
    static QStringList onlyIn(const QStringList& these, const QStringList& those)
    {
        QStringList only;
        for (const QString& row : these) {
            if (!those.contains(row)) {
                only << row;
            }
        }
        return only;
    }
    // Gives the card's contact another home or business phone.
    QString rephone(const CCard& card, const QString& phone)
    {
        const char* property = card.IsIndividual == QLatin1String("Y") ? "HomeTelephoneNumber"
                                                                       : "BusinessTelephoneNumber";
        const QString old = this->property(card, property);
        changeContact(contactOf(card), {{property, phone}});
        return old;
    }
};

TEST_F(QuietRoundTrip, UnchangedContactsAskNothingAndLeaveEveryRow)
{
    const QStringList before = dump();
    ASSERT_TRUE(runImport());
    EXPECT_EQ(prompts.shown.size(), 0);
    EXPECT_EQ(prompts.notices, QStringList());
    EXPECT_EQ(tally(), (QList<int>{0, 0, total, 0, 0, 0}));
    EXPECT_EQ(onlyIn(dump(), before), QStringList());
    EXPECT_EQ(onlyIn(before, dump()), QStringList());
}

TEST_F(QuietRoundTrip, OneChangedPhoneIsTheOneQuestion)
{
    const CCard card = active("CardTypeID = 'C' AND CardRecordID % 5 = 2");
    const QStringList before = dump();
    const QString old = rephone(card, QStringLiteral("(03) 9999 1234"));
    prompts.choices = {FUpdateChoice::Update};
    ASSERT_TRUE(runImport());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].differences(),
              (Differences{{QStringLiteral("Phone1"), old, QStringLiteral("(03) 9999 1234")}}));
    const QStringList changed = onlyIn(dump(), before);
    EXPECT_EQ(tally(), (QList<int>{0, 1, total - 1, 0, 0, 0}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0], onlyIn(before, dump()).value(0).replace(old, "(03) 9999 1234"));
}

// The cards answered before a Cancel in the dialog are written.
TEST_F(QuietRoundTrip, CancelInTheDialogWritesWhatWasConfirmedBefore)
{
    rephone(active("CardTypeID = 'C' AND CardRecordID % 5 = 2"), QStringLiteral("(03) 1111 2222"));
    rephone(active("CardTypeID = 'E' AND CardRecordID % 5 = 2"), QStringLiteral("(03) 3333 4444"));
    prompts.choices = {FUpdateChoice::Update, FUpdateChoice::CancelRun};
    runImport();
    ASSERT_EQ(prompts.shown.size(), 2);
    const auto stored = [this](const FUpdateChoice& shown) {
        return count(QStringLiteral("SELECT count(*) FROM Addresses WHERE Phone1 = '%1'")
                         .arg(shown.differences().value(0).updated));
    };
    EXPECT_EQ(stored(prompts.shown[0]), 1);
    EXPECT_EQ(stored(prompts.shown[1]), 0);
    EXPECT_EQ(summary.lblFinishHeader, QStringLiteral("Import Cancelled"));
    const QList<int> counts = tally();
    EXPECT_EQ(counts.mid(0, 5), (QList<int>{0, 1, counts[2], 0, 0}));
    EXPECT_GT(counts[5], 0) << "the cancelled card and those after it";
}

} // namespace
} // namespace brindle
