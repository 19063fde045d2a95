// Whole exports through the core on a sample company file.
#include "SyncFixture.h"
#include "TableFile.h"
#include "review/ImportReportWriter.h"

namespace brindle {
namespace {

using TarvoCards::CCard;

const QByteArray groupCard = "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Team\r\nEND:VCARD\r\n";
const QByteArray damagedFile = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Broken\r\n";

class ExportRun : public test::SyncFixture
{
protected:
    QString cityOf(const CCard& card)
    {
        return property(card, card.IsIndividual == QLatin1String("Y") ? "HomeAddressCity"
                                                                      : "BusinessAddressCity");
    }
    // Two items that are no contacts where the export looks, by path.
    QHash<QString, QByteArray> writeOtherItems()
    {
        QHash<QString, QByteArray> items;
        for (const char* name : {"VEXO Customers", ""}) {
            QDir().mkpath(folderPath(name));
            items.insert(folderPath(name) + "/team.vcf", groupCard);
            items.insert(folderPath(name) + "/broken.vcf", damagedFile);
        }
        for (auto it = items.cbegin(); it != items.cend(); ++it) {
            writeFile(it.key(), it.value());
        }
        return items;
    }
};

// A row of data/export-runs.txt, named by its first field.
class Rows : public ExportRun, public testing::WithParamInterface<QStringList>
{};

using Layouts = Rows;

// The first export writes every active card (every card, when allowed) into its type's folder (an
// address book but for an old version) or, without folders, into the
// default one, leaving the items there that are no contacts alone. What
// goes back and forth unchanged is the e2e round trip's.
TEST_P(Layouts, ExportWritesEachTypeWhereTheLayoutSays)
{
    const QStringList& row = GetParam();
    makeCompanyFile(row[2].toInt());
    settings.disableFolders = row[1].toInt();
    settings.supplierWord = row[2] == u"2" ? "Vendor" : "Supplier";
    settings.inactives = row[6].toInt();
    const auto others = writeOtherItems();
    ASSERT_LT(activeCards().size(), storedCards().size());
    const QList<CCard> cards = settings.inactives ? storedCards() : activeCards();
    const int n = int(cards.size());
    ASSERT_TRUE(transfer(2, [&](test::OpenProcess& run) {
        ASSERT_TRUE(run.contacts().OpenOutlookConnection());
        run.contacts().mobjOutlookApp->setVersion(row[3]);
    }));
    EXPECT_EQ(std::tuple(added, updated, total, syncs), std::tuple(n, 0, n, 1));
    EXPECT_TRUE(progress.events.contains(QString("caption:Transferring Card %1 of %1").arg(n)));
    EXPECT_EQ(exportReport().filter("|ADD").size(), n);
    EXPECT_EQ(summary.ReportFilePath, inFolder("OutlookImport.html"));
    const QStringList folders = row[4].split(", ");
    EXPECT_EQ(QDir(folderPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), folders);
    for (const QString& name : folders) {
        EXPECT_EQ(QFile::exists(folderPath(name) + "/.brindle-folder"), row[5] == u"yes") << name;
    }
    for (const CCard& card : cards) {
        const QString word = CardType::fromLetter(card.CardTypeID)->word(settings.supplierWord);
        EXPECT_TRUE(property(card, "Categories").startsWith(word)) << card.LastName;
    }
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        EXPECT_EQ(readAll(it.key()), it.value());
    }
}

INSTANTIATE_TEST_SUITE_P(Export, Layouts,
                         testing::ValuesIn(test::tableRows("export-runs.txt", "layout")),
                         test::rowName);

using Rules = Rows;

// A person's and a company's card changed in the company file, and a third
// whose contact another program gave a fax and a business address, which the
// export never writes: only real changes are asked about.
TEST_P(Rules, EachRuleAndAnswerActs)
{
    const QStringList& row = GetParam();
    makeCompanyFile();
    ASSERT_TRUE(runExport());
    const QList<CCard> changed{active("CardTypeID = 'C' AND IsIndividual = 'Y'"),
                               active("CardTypeID = 'S' AND IsIndividual = 'N'")};
    const CCard untouched = active("CardTypeID = 'E'");
    const QStringList before{cityOf(changed[0]), cityOf(changed[1])};
    changeContact(contactOf(changed[0]), {{"HomeFaxNumber", "02 1111 2222"}});
    changeContact(contactOf(untouched),
                  {{"HomeFaxNumber", "02 3333 4444"}, {"BusinessAddressCity", "Dubbo"}});
    setCity(changed[0], "Darwin");
    setCity(changed[1], "Cairns");
    const int files = contactFiles();
    const int n = int(activeCards().size());
    QFile::remove(inFolder("OutlookImport.html"));
    settings.rule = row[1].toInt();
    for (const QString& choice : row[2].split(u' ', Qt::SkipEmptyParts)) {
        prompts.choices << choice.toInt();
    }
    prompts.answers = {Prompts::Yes};
    const bool ok = row[5] == u"yes";

    EXPECT_EQ(runExport(), ok);
    ASSERT_EQ(prompts.shown.size(), row[3].toInt());
    if (!prompts.shown.isEmpty()) {
        EXPECT_EQ(prompts.shown[0].differences(),
                  Differences({{".HomeAddressCity", before[0], "Darwin"}}));
        EXPECT_EQ(prompts.shown[0].txtLastName.caption, changed[0].LastName);
    }
    const QStringList cities = row[4].split(u' ');
    EXPECT_EQ(QStringList({cityOf(changed[0]), cityOf(changed[1])}),
              QStringList({cities[0] == u"-" ? before[0] : cities[0],
                           cities[1] == u"-" ? before[1] : cities[1]}));
    EXPECT_EQ(QStringList({property(changed[0], "HomeFaxNumber"),
                           property(untouched, "BusinessAddressCity")}),
              QStringList({"02 1111 2222", "Dubbo"}));
    EXPECT_EQ(std::tuple(contactFiles(), added, syncs), std::tuple(files, 0, row[8].toInt()))
        << "scratch contacts are never saved";
    if (!ok) {
        EXPECT_TRUE(exportReport().isEmpty());
        EXPECT_TRUE(summary.lblFinishHeader.endsWith("Cancelled"));
        return;
    }
    EXPECT_EQ(updated, row[6] == u"none" ? 0 : n - row[6].toInt());
    QStringList messages;
    for (const QString& line : exportReport()) {
        messages << line.section(u'|', 3, 3);
    }
    EXPECT_EQ(messages, row[7] == u"*"     ? QStringList(n, "Duplicate Card")
                        : row[7].isEmpty() ? QStringList()
                                           : QStringList{row[7]});
}

INSTANTIATE_TEST_SUITE_P(Export, Rules,
                         testing::ValuesIn(test::tableRows("export-runs.txt", "rule")),
                         test::rowName);

// The duplicate check looks at record IDs and names; the search also finds a
// contact by identification. Rule 2 leaves such a contact alone too.
TEST_F(ExportRun, DoNotUpdateLeavesAContactTheSearchFindsAlone)
{
    makeCompanyFile();
    const qint32 id = RawFile(file).addCard("C", "Newcomer", "Al", "CUS999");
    const auto stranger =
        addContact("VEXO Customers", {{"LastName", "Stranger"}, {"User1", "CUS999"}});
    const QString path = folderPath("VEXO Customers") + u'/' + stranger->fileName();
    const QByteArray bytes = readAll(path);
    settings.rule = 2;
    ASSERT_TRUE(runExport());
    EXPECT_EQ(std::tuple(readAll(path), added), std::tuple(bytes, activeCards().size() - 1));
    EXPECT_TRUE(exportReport().contains("Newcomer|Al||Duplicate Card|ERROR"))
        << exportReport().join(u'\n');
    EXPECT_FALSE(contactOf(test::card("C", {}, {}, {}, id)));
}

// The card's own contact is found first, though an unlinked namesake comes
// earlier in the folder; a namesake linked to another card is passed over.
TEST_F(ExportRun, TheCardsOwnContactIsFoundAmongNamesakes)
{
    makeCompanyFile();
    ASSERT_TRUE(runExport());
    const CCard person = active("CardTypeID = 'C' AND IsIndividual = 'Y'");
    const auto stranger = addContact("VEXO Customers", {{"LastName", person.LastName},
                                                        {"FirstName", person.FirstName},
                                                        {"HomeAddressCity", "Nowhere"}});
    const QString strangerPath = folderPath("VEXO Customers") + u'/' + stranger->fileName();
    const QByteArray strangerBytes = readAll(strangerPath);
    setCity(person, "Darwin");
    ASSERT_TRUE(runExport());
    EXPECT_EQ(std::tuple(cityOf(person), readAll(strangerPath), added),
              std::tuple("Darwin", strangerBytes, 0));

    // Linked to a record ID no card can have: never taken for the twin's.
    changeContact(stranger, {{"CustomerID", "99999999999"}});
    const QByteArray linkedBytes = readAll(strangerPath);
    const qint32 twin = RawFile(file).addCard("C", person.LastName, person.FirstName, "*None");
    RawFile(file).addAddress(twin, 1, "1 Twin St");
    ASSERT_TRUE(runExport());
    EXPECT_EQ(added, 1) << "the twin gets a contact of its own";
    EXPECT_EQ(std::tuple(cityOf(person), readAll(strangerPath)), std::tuple("Darwin", linkedBytes));
    EXPECT_EQ(property(test::card("C", {}, {}, {}, twin), "HomeAddressStreet"),
              "1 Twin St\r\n\r\n\r\n");
}

// A contact side whose mapping fails for one card, after writing part of it.
class FailingSide : public ContactSide
{
public:
    using ContactSide::ContactSide;
    static inline qint32 failing = 0;

    bool MapCardToContact(CCard& card, contacts::ContactItem& contact) override
    {
        if (card.CardRecordID != failing) {
            return ContactSide::MapCardToContact(card, contact);
        }
        contact.setProperty("User1", "HALF");
        return false;
    }
};

// The run with that side.
const auto failingSide = [](test::OpenProcess& run) {
    run.contactSide = std::make_unique<FailingSide>(run.state);
};

TEST_F(ExportRun, ACardThatCannotBeMappedIsRejectedAndNothingOfItSaved)
{
    makeCompanyFile();
    const CCard person = active("CardTypeID = 'C' AND IsIndividual = 'Y'");
    const CCard company = active("CardTypeID = 'S' AND IsIndividual = 'N'");
    FailingSide::failing = person.CardRecordID;
    ASSERT_TRUE(transfer(2, failingSide));
    EXPECT_EQ(std::tuple(contactOf(person), added), std::tuple(nullptr, activeCards().size() - 1))
        << "a new contact is not saved half-written";
    const QStringList rejected = exportReport().filter("|The contact could not be written|ERROR");
    ASSERT_EQ(rejected.size(), 1);
    EXPECT_TRUE(rejected[0].startsWith(ImportReportWriter::escaped(person.LastName) + u'|'));

    const QString path = contactFile(company);
    const QByteArray before = readAll(path);
    setCity(company, "Darwin");
    FailingSide::failing = company.CardRecordID;
    ASSERT_TRUE(transfer(2, failingSide));
    EXPECT_EQ(std::tuple(readAll(path), summary.RejectedCards), std::tuple(before, 1))
        << "an existing contact keeps what it held";
}

// A contact another program changes while the export runs is not
// overwritten: its card is rejected and the run fails; a cancel keeps what
// was saved. Either way what was saved is flushed.
TEST_F(ExportRun, AnExportStoppedPartWayKeepsAndFlushesWhatItSaved)
{
    makeCompanyFile();
    const int n = int(activeCards().size());
    prompts.answers = {Prompts::Yes};
    progress.onCaption.insert(QString("Transferring Card 3 of %1").arg(n),
                              [this] { progress.controls->cmdCancel_Click(); });
    EXPECT_FALSE(runExport());
    EXPECT_EQ(std::tuple(added, syncs, contactFiles(), exportReport(), summary.lblFinishHeader),
              std::tuple(3, 1, 3, QStringList(), "Export Cancelled"));

    ASSERT_TRUE(runExport());
    RawFile(file).exec("UPDATE Addresses SET City = City || ' North'");
    const QString path = contactFile(active("CardTypeID = 'S'"));
    const QByteArray other = readAll(path).replace("END:VCARD", "NOTE:Mine\r\nEND:VCARD");
    progress.onCaption.insert(QString("Transferring Card 1 of %1").arg(n),
                              [&] { writeFile(path, other); });
    EXPECT_FALSE(runExport());
    EXPECT_EQ(std::tuple(readAll(path), updated, syncs, summary.RejectedCards),
              std::tuple(other, n - 1, 1, 1));
    EXPECT_TRUE(summary.lblFinishHeader.endsWith("Cancelled"));
}

} // namespace
} // namespace brindle
