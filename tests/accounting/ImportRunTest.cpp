#include "ImportFixture.h"
#include "samples/ContactStoreGenerator.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

class ImportRun : public test::ImportFixture
{
protected:
    QString city(qint32 id)
    {
        return RawFile(file)
            .value(QStringLiteral("SELECT City FROM Addresses WHERE CardRecordID = ? AND "
                                  "Location = 1"),
                   {id})
            .toString();
    }
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
        return QDir(folder.path()).entryList({QStringLiteral("company-backup-*")}, QDir::Files);
    }
};

TEST_F(ImportRun, UnchangedContactsChangeNoRowLinkedOrNot)
{
    makeCompanyFile();
    // A name in the form the mapping turns round.
    RawFile(file).exec(QStringLiteral(
        "UPDATE Cards SET LastName = 'Harbour Plumbing, The' WHERE CardRecordID = (SELECT "
        "min(CardRecordID) FROM Cards WHERE IsIndividual = 'N' AND IsInactive = 'N')"));
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "linked" : "found by identification or name");
        const QStringList before = rows();
        QList<CCard> contacts;
        for (const CCard& stored : storedCards()) {
            contacts << stored;
            contacts.last().CardRecordID = linked ? stored.CardRecordID : 0;
        }
        ASSERT_TRUE(run(contacts));
        EXPECT_EQ(rows(), before);
        const int inactive =
            count(QStringLiteral("SELECT count(*) FROM Cards WHERE IsInactive = 'Y'"));
        ASSERT_GT(inactive, 0);
        EXPECT_EQ(process.AddedCards() + process.UpdatedCards(), contacts.size() - inactive);
        EXPECT_EQ(reportRows().size(), inactive);
        for (const QString& row : reportRows()) {
            EXPECT_TRUE(row.endsWith(QLatin1String("|VEXO Card Inactive|REJECTED")))
                << qPrintable(row);
        }
    }
}

class StoreImport : public ImportRun
{};

TEST_F(StoreImport, ASampleStoreAddsItsNewContactsOnceInEitherLayout)
{
    using Layout = samples::ContactStoreOptions::Layout;
    for (const Layout layout : {Layout::Folders, Layout::Categories}) {
        SCOPED_TRACE(layout == Layout::Folders ? "folders" : "categories");
        QFile::remove(file);
        QDir(folderPath()).removeRecursively();
        makeCompanyFile();
        MMain::glDisableOutlookFolders = layout == Layout::Categories ? 1 : 0;
        const samples::ContactStoreSummary written =
            samples::writeContactStore(store.path(), {60, layout, 5});
        ASSERT_EQ(written.contacts, 60);
        const QStringList others = QDir(folderPath()).entryList(QDir::Files);
        const int cardsBefore = count(QStringLiteral("SELECT count(*) FROM Cards"));
        ASSERT_TRUE(runAgain());
        const int cardsAfter = count(QStringLiteral("SELECT count(*) FROM Cards"));
        EXPECT_GT(cardsAfter, cardsBefore);
        EXPECT_EQ(summary.TotalCards, 60) << "items that are no contacts are not read";
        EXPECT_EQ(added, 60);
        EXPECT_EQ(QDir(folderPath()).entryList(QDir::Files), others);
        ASSERT_TRUE(runAgain());
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Cards")), cardsAfter)
            << "a second import of the same contacts adds nothing";
        EXPECT_TRUE(reportRows().filter(QStringLiteral("|ADD")).isEmpty())
            << qPrintable(reportRows().join(u'\n'));
    }
}

TEST_F(StoreImport, AContactMovedToAnotherTypesFolderLeavesItsCardAlone)
{
    makeCompanyFile();
    CCard customer = storedCard(QStringLiteral("CardTypeID = 'C' AND IsInactive = 'N' AND "
                                               "IsIndividual = 'Y'"));
    const QString oldCity = city(customer.CardRecordID);
    customer.CardTypeID = QStringLiteral("S");
    customer.CardIdentification.clear();
    customer.Addresses[0].City = QStringLiteral("Moved");
    exportCard(customer);

    ASSERT_TRUE(runAgain());
    EXPECT_EQ(city(customer.CardRecordID), oldCity);
    const qint32 supplier =
        RawFile(file)
            .value(QStringLiteral("SELECT CardRecordID FROM Cards WHERE CardTypeID = 'S' AND "
                                  "LastName = ? AND FirstName = ?"),
                   {customer.LastName, customer.FirstName})
            .toInt();
    ASSERT_GT(supplier, 0);
    EXPECT_EQ(city(supplier), QStringLiteral("Moved"));
}

TEST_F(ImportRun, RuleZeroUpdatesTheMatchedCardsAndAddsTheNewOnes)
{
    makeCompanyFile();
    const CCard person = storedCard(QStringLiteral("CardTypeID = 'C' AND IsIndividual = 'Y' AND "
                                                   "IsInactive = 'N'"));
    const CCard company = storedCard(QStringLiteral("CardTypeID = 'S' AND IsIndividual = 'N' AND "
                                                    "IsInactive = 'N'"));
    const QString delivery = RawFile(file)
                                 .value(QStringLiteral("SELECT InvoiceDeliveryID FROM Cards WHERE "
                                                       "CardRecordID = ?"),
                                        {person.CardRecordID})
                                 .toString();
    const int cardsBefore = count(QStringLiteral("SELECT count(*) FROM Cards"));
    const QString oldCity = city(person.CardRecordID);
    CCard unreadable = newContact(QStringLiteral("P"), QString());
    unreadable.TransferMessage = unreadableContact;
    CCard secondClaimant = moved(company, QStringLiteral("Perth"));
    secondClaimant.LastName = QStringLiteral("Claimant Co");

    ASSERT_TRUE(
        run({moved(person, QStringLiteral("Darwin"), false),
             moved(company, QStringLiteral("Alice Springs")),
             newContact(QStringLiteral("C"), QStringLiteral("Newman"), QStringLiteral("Al")),
             newContact(QStringLiteral("S"), QStringLiteral("Zeta Supplies")), unreadable,
             secondClaimant}));

    EXPECT_EQ(city(person.CardRecordID), QStringLiteral("Darwin"));
    EXPECT_EQ(city(company.CardRecordID), QStringLiteral("Alice Springs"));
    EXPECT_EQ(
        RawFile(file)
            .value(QStringLiteral("SELECT InvoiceDeliveryID FROM Cards WHERE CardRecordID = ?"),
                   {person.CardRecordID})
            .toString(),
        delivery);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Cards")), cardsBefore + 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Cards c JOIN Addresses a USING "
                                   "(CardRecordID) WHERE c.CardTypeID = 'S' AND c.LastName = "
                                   "'Zeta Supplies' AND a.StreetLine2 = '2 New St'")),
              1);
    EXPECT_EQ(process.AddedCards(), 4);
    EXPECT_EQ(summary.RejectedCards, 2);
    EXPECT_EQ(reportRows(),
              QStringList({"Newman|Al|newman@new.example||ADD", "Zeta Supplies||||ADD",
                           QStringLiteral("Claimant Co|||Another contact is linked to the same "
                                          "card: %1 (record %2)|REJECTED")
                               .arg(company.LastName)
                               .arg(company.CardRecordID),
                           "contact-0004.vcf|||The contact could not be read|REJECTED"}))
        << "a refused contact is named by its file when it has no name";
    EXPECT_EQ(summary.ReportFilePath,
              QDir(folder.path()).filePath(QStringLiteral("VEXOImport.html")));
    // Each type was saved before anything was written.
    ASSERT_EQ(backups().size(), 4);
    RawFile saved(QDir(folder.path()).filePath(backups().filter(QStringLiteral("-C.")).value(0)));
    EXPECT_EQ(saved
                  .value(QStringLiteral("SELECT City FROM Addresses WHERE CardRecordID = ? AND "
                                        "Location = 1"),
                         {person.CardRecordID})
                  .toString(),
              oldCity);
}

// An import holds of the existing cards only what it reads: every member
// the comparison looks at must still be there, at both addresses.
TEST_F(ImportRun, TheComparisonSeesEveryComparedMemberOfTheLoadedCard)
{
    using TarvoCards::CAddress;
    struct Member
    {
        const char* key;
        QString CAddress::*member;
    };
    const Member addressMembers[] = {{"StreetLine1", &CAddress::StreetLine1},
                                     {"StreetLine2", &CAddress::StreetLine2},
                                     {"StreetLine3", &CAddress::StreetLine3},
                                     {"StreetLine4", &CAddress::StreetLine4},
                                     {"City", &CAddress::City},
                                     {"State", &CAddress::State},
                                     {"Postcode", &CAddress::Postcode},
                                     {"Country", &CAddress::Country},
                                     {"Phone1", &CAddress::Phone1},
                                     {"Phone2", &CAddress::Phone2},
                                     {"Phone3", &CAddress::Phone3},
                                     {"Fax", &CAddress::Fax},
                                     {"Email", &CAddress::Email},
                                     {"WWW", &CAddress::WWW}};
    // A contact carries the other address without its phones, e-mail and web page.
    const auto carriedAt = [](int location) { return location == 1 ? 14 : 8; };
    const auto membersAt = [&](int location) {
        return std::span<const Member>(addressMembers).first(carriedAt(location));
    };
    makeCompanyFile();
    CCard stored = storedCard(QStringLiteral("IsIndividual = 'Y' AND IsInactive = 'N' AND "
                                             "CardIdentification <> '*None'"));
    {
        RawFile raw(file);
        for (const int location : {1, 2}) {
            for (int i = 0; i < int(std::size(addressMembers)); ++i) {
                const QString key = QLatin1String(addressMembers[i].key);
                raw.exec(QStringLiteral("UPDATE Addresses SET %1 = ? WHERE CardRecordID = ? AND "
                                        "Location = ?")
                             .arg(key),
                         {i < carriedAt(location) ? QStringLiteral("%1 %2").arg(key).arg(location)
                                                  : QString(),
                          stored.CardRecordID, location});
            }
        }
    }
    stored = storedCard(QStringLiteral("CardRecordID = %1").arg(stored.CardRecordID));
    // The card's contact, equal to it in every member the comparison reads.
    const CCard same = stored;
    struct Change
    {
        QString key;
        std::function<void(CCard&)> apply;
    };
    QList<Change> changes{
        {"LastName", [](CCard& c) { c.LastName += "x"; }},
        {"FirstName", [](CCard& c) { c.FirstName += "x"; }},
        {"CardIdentification", [](CCard& c) { c.CardIdentification += "x"; }},
    };
    for (const int location : {1, 2}) {
        for (const Member& m : membersAt(location)) {
            changes.append({QLatin1String(m.key), [location, m](CCard& c) {
                                c.Addresses[location - 1].*m.member =
                                    QStringLiteral("%1 9").arg(QLatin1String(m.key));
                            }});
        }
    }
    // Only one contact may be linked to the card; the others find it by
    // identification or name.
    QList<CCard> contacts{same};
    for (const Change& change : std::as_const(changes)) {
        contacts.append(same);
        contacts.last().CardRecordID = 0;
        change.apply(contacts.last());
    }
    MMain::glRulesFilter = 3;
    prompts.choices = QList<qint32>(changes.size(), 7); // skip each
    ASSERT_TRUE(run(contacts));
    ASSERT_EQ(prompts.shown.size(), changes.size());
    for (qsizetype i = 0; i < changes.size(); ++i) {
        const Differences differences = prompts.shown[i].differences();
        ASSERT_EQ(differences.size(), 1) << i;
        EXPECT_EQ(differences[0].key, changes[i].key) << i;
    }
}

TEST_F(ImportRun, WithoutAReportTheCountersStillReachTheSummaryAndEveryTenthItemPauses)
{
    makeCompanyFile();
    MMain::gbSuppressReport = true;
    QList<CCard> contacts;
    for (int i = 0; i < 25; ++i) {
        contacts << newContact(i % 2 ? QStringLiteral("C") : QStringLiteral("P"),
                               QStringLiteral("Newman %1").arg(i), QStringLiteral("Al"));
    }
    ASSERT_TRUE(run(contacts));
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("VEXOImport.html"))));
    EXPECT_TRUE(summary.ReportFilePath.isEmpty());
    EXPECT_EQ(summary.AddedCards, 25);
    EXPECT_EQ(summary.RejectedCards, 0);
    EXPECT_EQ(progress.pausedMilliseconds, 40);
    const QStringList captions = progress.events.filter(QStringLiteral("caption:Transferring"));
    EXPECT_EQ(captions, QStringList({"caption:Transferring Customer Cards...",
                                     "caption:Transferring Personal Cards..."}));
    EXPECT_TRUE(progress.events.contains(QStringLiteral("caption:Finishing Transfer... ")));
    EXPECT_EQ(progress.values.last(), 100);
}

TEST_F(ImportRun, AUnitedStatesFileWritesVendors)
{
    makeCompanyFile(2);
    MMain::gsSupplierWord = QStringLiteral("Vendor"); // the contact is in "VEXO Vendors"
    ASSERT_TRUE(run({newContact(QStringLiteral("V"), QStringLiteral("Zeta Supplies"))}));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Cards WHERE CardTypeID = 'V' AND "
                                   "LastName = 'Zeta Supplies'")),
              1);
    EXPECT_TRUE(progress.events.contains(QStringLiteral("caption:Transferring Vendor Cards...")));
    EXPECT_FALSE(
        progress.events.contains(QStringLiteral("caption:Transferring Customer Cards...")));
}

TEST_F(ImportRun, RuleTwoRefusesDuplicatesAndListsThem)
{
    makeCompanyFile();
    MMain::glRulesFilter = 2;
    const CCard person = storedCard(QStringLiteral("CardTypeID = 'E' AND IsIndividual = 'Y' AND "
                                                   "IsInactive = 'N'"));
    const QString oldCity = city(person.CardRecordID);
    CCard byIdentification =
        moved(storedCard(QStringLiteral("CardTypeID = 'C' AND IsInactive = 'N' AND "
                                        "CardIdentification NOT IN ('', '*None')")),
              QStringLiteral("Broome"), false);
    byIdentification.LastName = QStringLiteral("Renamed Pty Ltd");
    byIdentification.IsIndividual = QStringLiteral("N");
    byIdentification.FirstName.clear();

    ASSERT_TRUE(
        run({moved(person, QStringLiteral("Broome"), false), byIdentification,
             newContact(QStringLiteral("E"), QStringLiteral("Newman"), QStringLiteral("Al"))}));
    EXPECT_EQ(city(person.CardRecordID), oldCity);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Addresses WHERE City = 'Broome'")), 0);
    EXPECT_EQ(process.AddedCards(), 1);
    const QStringList report = reportRows();
    EXPECT_TRUE(report.contains(
        QStringLiteral("%1|%2||Duplicate Card|REJECTED").arg(person.LastName, person.FirstName)))
        << qPrintable(report.join('\n'));
    EXPECT_TRUE(report.contains(QStringLiteral("Renamed Pty Ltd|||Duplicate Card|REJECTED")))
        << qPrintable(report.join('\n'));
}

struct AnswerRow
{
    const char* name;
    QList<qint32> answers;
    bool ok;
    QStringList cities; // of the two changed cards afterwards; "" unchanged
    bool added;
};

TEST_F(ImportRun, RuleThreeAsksAndEachAnswerActs)
{
    const AnswerRow rows[] = {
        {"update each", {6, 6, 6}, true, {"Darwin", "Cairns"}, true},
        // Asked in the order the folders are read: customers, then personal cards.
        {"skip some", {7, 7, 6}, true, {"", "Cairns"}, false},
        {"update all", {8}, true, {"Darwin", "Cairns"}, true},
        {"cancel", {2}, false, {"", ""}, false},
    };
    for (const AnswerRow& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(file);
        makeCompanyFile();
        MMain::glRulesFilter = 3;
        const QList<CCard> cards = {
            storedCard(QStringLiteral("CardTypeID = 'C' AND IsInactive = 'N'")),
            storedCard(QStringLiteral("CardTypeID = 'P' AND IsInactive = 'N'"))};
        const QStringList before{city(cards[0].CardRecordID), city(cards[1].CardRecordID)};
        prompts.choices = row.answers;
        prompts.shown.clear();
        prompts.answers = {Prompts::Yes};
        writeContacts(
            {moved(cards[0], QStringLiteral("Darwin")), moved(cards[1], QStringLiteral("Cairns")),
             newContact(QStringLiteral("C"), QStringLiteral("Newman"), QStringLiteral("Al"))});
        EXPECT_EQ(runAgain(), row.ok);
        EXPECT_EQ(prompts.shown.size(), row.answers.size());
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(city(cards[i].CardRecordID),
                      row.cities[i].isEmpty() ? before[i] : row.cities[i]);
        }
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Cards WHERE LastName = 'Newman'")),
                  row.added ? 1 : 0);
    }
}

TEST_F(ImportRun, InactiveCardsAreWrittenOnlyWhenAllowedAndStayInactive)
{
    for (const qint32 transferInactives : {0, 1}) {
        SCOPED_TRACE(transferInactives);
        QFile::remove(file);
        QFile::remove(QDir(folder.path()).filePath(QStringLiteral("VEXOImport.html")));
        makeCompanyFile();
        MMain::glTransferInactives = transferInactives;
        const CCard inactive = storedCard(QStringLiteral("IsInactive = 'Y'"));
        const QString oldCity = city(inactive.CardRecordID);
        writeContacts({moved(inactive, QStringLiteral("Darwin"), false)});
        ASSERT_TRUE(runAgain());
        EXPECT_EQ(city(inactive.CardRecordID),
                  transferInactives ? QStringLiteral("Darwin") : oldCity);
        EXPECT_EQ(RawFile(file)
                      .value(QStringLiteral("SELECT IsInactive FROM Cards WHERE CardRecordID = ?"),
                             {inactive.CardRecordID})
                      .toString(),
                  QStringLiteral("Y"));
        EXPECT_EQ(reportRows(),
                  transferInactives
                      ? QStringList()
                      : QStringList{QStringLiteral("%1|%2||VEXO Card Inactive|REJECTED")
                                        .arg(inactive.LastName, inactive.FirstName)});
    }
}

// What a stop row may use to stop the run.
struct StopSetup
{
    const QString& file;
    test::CaptionHooks& progress;
    test::ScriptedPrompts& prompts;
    std::unique_ptr<RawFile>& holder; // a writer that holds the file locked
};

struct StopRow
{
    const char* name;
    std::function<void(StopSetup&)> stop;
    const char* logLine; // the end of the log line of the failed type; "" none
};

class ImportStops : public ImportRun, public testing::WithParamInterface<StopRow>
{};

TEST_P(ImportStops, EveryTypeIsWrittenWholeOrNotAtAll)
{
    makeCompanyFile();
    enableLog();
    QList<CCard> contacts;
    QHash<qint32, QString> expected; // cities afterwards by record
    const QList<CCard> stored = storedCards();
    for (const CCard& card : stored) {
        if (card.IsInactive == QLatin1String("N") && card.CardTypeID != QLatin1String("P")) {
            contacts << moved(card, QStringLiteral("Moved"));
            expected.insert(card.CardRecordID, card.CardTypeID == QLatin1String("C")
                                                   ? QStringLiteral("Moved")
                                                   : city(card.CardRecordID));
        }
    }
    std::unique_ptr<RawFile> holder;
    StopSetup setup{file, progress, prompts, holder};
    GetParam().stop(setup);

    EXPECT_FALSE(run(contacts));
    holder.reset();
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(city(it.key()), it.value()) << it.key();
    }
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("VEXOImport.html"))));
    const QString logLine = QString::fromLatin1(GetParam().logLine);
    EXPECT_EQ(logLines().filter(QStringLiteral("Import has failed")).size(),
              logLine.isEmpty() ? 0 : 1);
    if (!logLine.isEmpty()) {
        const int employees =
            count(QStringLiteral("SELECT count(*) FROM Cards WHERE CardTypeID = 'E' "
                                 "AND IsInactive = 'N'"));
        EXPECT_TRUE(logLines().filter(QStringLiteral("Import has failed"))[0].endsWith(
            QStringLiteral(
                " VEXOBrindle.FProcess.ImportToVEXO Employee Cards Import has failed: %1 "
                "cards.")
                .arg(employees)));
    }
}

const QString employeeCaption = QStringLiteral("Transferring Employee Cards...");

INSTANTIATE_TEST_SUITE_P(
    Stops, ImportStops,
    testing::Values(
        StopRow{"refused in the middle of the employees",
                [](StopSetup& f) {
                    RawFile(f.file).exec(QStringLiteral(
                        "CREATE TRIGGER refuse BEFORE UPDATE ON Cards WHEN NEW.CardRecordID = "
                        "(SELECT CardRecordID FROM Cards WHERE CardTypeID = 'E' AND IsInactive = "
                        "'N' ORDER BY CardRecordID LIMIT 1 OFFSET 1) BEGIN SELECT RAISE(ABORT, "
                        "'refused'); END"));
                },
                "failed"},
        StopRow{"locked by another writer before the employees",
                [](StopSetup& f) {
                    f.progress.onCaption.insert(employeeCaption, [&f] {
                        f.holder = std::make_unique<RawFile>(f.file);
                        f.holder->exec(QStringLiteral("BEGIN IMMEDIATE"));
                    });
                },
                "failed"},
        StopRow{"cancelled while the customers are written",
                [](StopSetup& f) {
                    f.prompts.answers = {Prompts::Yes};
                    f.progress.onCaption.insert(QStringLiteral("Transferring Customer Cards..."),
                                                [&f] { f.progress.controls->cmdCancel_Click(); });
                },
                ""}),
    [](const testing::TestParamInfo<StopRow>& info) {
        QString name = QString::fromLatin1(info.param.name);
        return name.replace(QLatin1Char(' '), QLatin1Char('_')).toStdString();
    });

TEST_F(ImportRun, ACancelDuringTheBackupWritesNothing)
{
    makeCompanyFile();
    const QStringList before = rows();
    prompts.answers = {Prompts::Yes};
    progress.atPump.insert(2, test::ScriptedProgress::cancel()); // after the customers' backup
    EXPECT_FALSE(run({moved(storedCards().first(), QStringLiteral("Moved"))}));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(backups().size(), 1);
    EXPECT_TRUE(backups().value(0).endsWith(QLatin1String("-C.sqlite")));
}

} // namespace
} // namespace brindle
