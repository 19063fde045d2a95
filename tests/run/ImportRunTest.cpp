// Whole imports through the core on a sample company file.
#include "SyncFixture.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

class ImportRun : public test::SyncFixture
{
protected:
    // The card's contact (an export writes what it reads) with another city in address 1.
    static CCard moved(const CCard& stored, const QString& newCity, bool linked = true)
    {
        CCard contact = stored;
        contact.Addresses[0].City = newCity;
        contact.CardRecordID = linked ? stored.CardRecordID : 0;
        return contact;
    }
    QStringList backups() const
    {
        return QDir(folder.path()).entryList({"company-backup-*"}, QDir::Files);
    }
};

TEST_F(ImportRun, RuleZeroUpdatesTheMatchedCardsAndAddsTheNewOnes)
{
    makeCompanyFile();
    const CCard person = active("CardTypeID = 'C' AND IsIndividual = 'Y'");
    const CCard company = active("CardTypeID = 'S' AND IsIndividual = 'N'");
    const QString delivery = "SELECT InvoiceDeliveryID FROM Cards WHERE CardRecordID = ?";
    const QVariant deliveryBefore = value(delivery, {person.CardRecordID});
    const int cardsBefore = count("SELECT count(*) FROM Cards");
    const QString oldCity = city(person.CardRecordID);
    CCard unreadable = newContact("P", {});
    unreadable.TransferMessage = unreadableContact;
    CCard secondClaimant = moved(company, "Perth");
    secondClaimant.LastName = "Claimant Co";

    ASSERT_TRUE(runImport({moved(person, "Darwin", false), moved(company, "Alice Springs"),
                           newContact("C", "Newman", "Al"), newContact("S", "Zeta Supplies"),
                           unreadable, secondClaimant}));

    EXPECT_EQ(QStringList({city(person.CardRecordID), city(company.CardRecordID)}),
              QStringList({"Darwin", "Alice Springs"}));
    EXPECT_EQ(value(delivery, {person.CardRecordID}), deliveryBefore);
    EXPECT_EQ(count("SELECT count(*) FROM Cards"), cardsBefore + 2);
    EXPECT_EQ(count("SELECT count(*) FROM Cards c JOIN Addresses a USING (CardRecordID) WHERE "
                    "c.CardTypeID = 'S' AND c.LastName = 'Zeta Supplies' AND a.StreetLine2 = "
                    "'2 New St'"),
              1);
    EXPECT_EQ(std::tuple(added, summary.RejectedCards), std::tuple(4, 2));
    EXPECT_EQ(importReport(),
              QStringList({"Newman|Al|newman@new.example||ADD", "Zeta Supplies||||ADD",
                           QString("Claimant Co|||Another contact is linked to the same card: %1 "
                                   "(record %2)|REJECTED")
                               .arg(company.LastName)
                               .arg(company.CardRecordID),
                           "contact-0004.vcf|||The contact could not be read|REJECTED"}))
        << "a refused contact is named by its file when it has no name";
    EXPECT_EQ(summary.ReportFilePath, inFolder("VEXOImport.html"));
    // Each type was saved before anything was written.
    ASSERT_EQ(backups().size(), 4);
    EXPECT_EQ(city(person.CardRecordID, inFolder(backups().filter("-C.").value(0))), oldCity);
}

// An import holds of the existing cards only what it reads: every member
// the comparison looks at must still be there, at both addresses.
TEST_F(ImportRun, TheComparisonSeesEveryComparedMemberOfTheLoadedCard)
{
    const QStringList columns{"StreetLine1", "StreetLine2", "StreetLine3", "StreetLine4", "City",
                              "State",       "Postcode",    "Country",     "Phone1",      "Phone2",
                              "Phone3",      "Fax",         "Email",       "WWW"};
    makeCompanyFile();
    const qint32 id = active("IsIndividual = 'Y' AND CardIdentification <> '*None'").CardRecordID;
    QStringList compared{"LastName", "FirstName", "CardIdentification"};
    for (const int location : {1, 2}) {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            // A contact carries the other address without its phones, e-mail and web page.
            const bool carried = location == 1 || i < 8;
            const QString member = QString("%1.%2").arg(location).arg(columns[i]);
            RawFile(file).exec(
                QString("UPDATE Addresses SET %1 = ? WHERE CardRecordID = ? AND Location = ?")
                    .arg(columns[i]),
                {carried ? member : QString(), id, location});
            if (carried) {
                compared << member;
            }
        }
    }
    // The card's contact, equal to it in every member the comparison reads,
    // then once with each member changed, found by identification or name:
    // a second contact linked to the card would be refused.
    const CCard same = storedCard(QString("CardRecordID = %1").arg(id));
    QList<CCard> contacts{same};
    for (const QString& name : std::as_const(compared)) {
        contacts << same;
        contacts.last().CardRecordID = 0;
        test::setMember(contacts.last(), name, name.section(u'.', -1) + " 9");
    }
    settings.rule = 3;
    prompts.choices = QList<qint32>(compared.size(), FUpdateChoice::Skip);
    ASSERT_TRUE(runImport(contacts));
    ASSERT_EQ(prompts.shown.size(), compared.size());
    for (qsizetype i = 0; i < compared.size(); ++i) {
        const Differences differences = prompts.shown[i].differences();
        ASSERT_EQ(differences.size(), 1) << i;
        EXPECT_EQ(differences[0].key, compared[i].section(u'.', -1)) << i;
    }
}

TEST_F(ImportRun, WithoutAReportTheCountersStillReachTheSummaryAndEveryTenthItemPauses)
{
    makeCompanyFile();
    settings.suppressReport = true;
    QList<CCard> contacts;
    for (int i = 0; i < 25; ++i) {
        contacts << newContact(i % 2 ? "C" : "P", QString("Newman %1").arg(i), "Al");
    }
    ASSERT_TRUE(runImport(contacts));
    EXPECT_FALSE(QFile::exists(inFolder("VEXOImport.html")));
    EXPECT_EQ(std::tuple(summary.ReportFilePath, summary.AddedCards, summary.RejectedCards),
              std::tuple(QString(), 25, 0));
    EXPECT_EQ(std::tuple(progress.pausedMilliseconds, progress.values.last()), std::tuple(40, 100));
    EXPECT_EQ(progress.events.filter("caption:Transferring"),
              QStringList({"caption:Transferring Customer Cards...",
                           "caption:Transferring Personal Cards..."}));
    EXPECT_TRUE(progress.events.contains("caption:Finishing Transfer... "));
}

TEST_F(ImportRun, InactiveCardsAreWrittenOnlyWhenAllowedAndStayInactive)
{
    for (const qint32 transferInactives : {0, 1}) {
        SCOPED_TRACE(transferInactives);
        QFile::remove(file);
        QFile::remove(inFolder("VEXOImport.html"));
        makeCompanyFile();
        settings.inactives = transferInactives;
        const CCard inactive = storedCard("IsInactive = 'Y'");
        const QString oldCity = city(inactive.CardRecordID);
        ASSERT_TRUE(runImport({moved(inactive, "Darwin", false)}));
        EXPECT_EQ(city(inactive.CardRecordID), transferInactives ? "Darwin" : oldCity);
        EXPECT_EQ(
            value("SELECT IsInactive FROM Cards WHERE CardRecordID = ?", {inactive.CardRecordID}),
            "Y");
        EXPECT_EQ(importReport(),
                  transferInactives ? QStringList()
                                    : QStringList{QString("%1|%2||VEXO Card Inactive|REJECTED")
                                                      .arg(inactive.LastName, inactive.FirstName)});
    }
}

class ImportStops;

struct StopRow
{
    const char* name;
    void (*stop)(ImportStops&);
    bool customersWritten;
    int backups;
    bool failed; // logged as a failed type
};

class ImportStops : public ImportRun, public testing::WithParamInterface<StopRow>
{
public:
    using ImportRun::file;
    using ImportRun::progress;
    using ImportRun::prompts;
    std::unique_ptr<RawFile> holder; // a writer that holds the file locked
};

TEST_P(ImportStops, EveryTypeIsWrittenWholeOrNotAtAll)
{
    const StopRow& row = GetParam();
    makeCompanyFile();
    enableLog();
    QList<CCard> contacts;
    QHash<qint32, QString> expected; // cities afterwards by record
    for (const CCard& card : storedCards()) {
        if (card.IsInactive == u"N" && card.CardTypeID != u"P") {
            contacts << moved(card, "Moved");
            expected.insert(card.CardRecordID, card.CardTypeID == u"C" && row.customersWritten
                                                   ? "Moved"
                                                   : city(card.CardRecordID));
        }
    }
    row.stop(*this);
    EXPECT_FALSE(runImport(contacts));
    holder.reset();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(city(it.key()), it.value()) << it.key();
    }
    EXPECT_TRUE(importReport().isEmpty());
    EXPECT_EQ(backups().size(), row.backups);
    EXPECT_TRUE(backups().value(0).endsWith("-C.sqlite"));
    const QStringList failed = logLines().filter("Import has failed");
    ASSERT_EQ(failed.size(), row.failed ? 1 : 0);
    if (row.failed) {
        const int employees =
            count("SELECT count(*) FROM Cards WHERE CardTypeID = 'E' AND IsInactive = 'N'");
        EXPECT_TRUE(failed[0].endsWith(
            QString(
                " VEXOBrindle.FProcess.ImportToVEXO Employee Cards Import has failed: %1 cards.")
                .arg(employees)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stops, ImportStops,
    testing::Values(
        StopRow{"refused_in_the_middle_of_the_employees",
                [](ImportStops& f) {
                    RawFile(f.file).exec(
                        "CREATE TRIGGER refuse BEFORE UPDATE ON Cards WHEN NEW.CardRecordID = "
                        "(SELECT CardRecordID FROM Cards WHERE CardTypeID = 'E' AND IsInactive = "
                        "'N' ORDER BY CardRecordID LIMIT 1 OFFSET 1) BEGIN SELECT RAISE(ABORT, "
                        "'refused'); END");
                },
                true, 4, true},
        StopRow{"locked_by_another_writer_before_the_employees",
                [](ImportStops& f) {
                    f.progress.onCaption.insert("Transferring Employee Cards...", [&f] {
                        f.holder = std::make_unique<RawFile>(f.file);
                        f.holder->exec("BEGIN IMMEDIATE");
                    });
                },
                true, 4, true},
        StopRow{"cancelled_while_the_customers_are_written",
                [](ImportStops& f) {
                    f.prompts.answers = {Prompts::Yes};
                    f.progress.onCaption.insert("Transferring Customer Cards...",
                                                [&f] { f.progress.controls->cmdCancel_Click(); });
                },
                true, 4, false},
        StopRow{"cancelled_after_the_customers_backup",
                [](ImportStops& f) {
                    f.prompts.answers = {Prompts::Yes};
                    f.progress.atPump.insert(2, test::ScriptedProgress::cancel());
                },
                false, 1, false}),
    [](const testing::TestParamInfo<StopRow>& info) { return info.param.name; });

} // namespace
} // namespace brindle
