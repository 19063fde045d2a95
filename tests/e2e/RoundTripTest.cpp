// Whole runs of brindle-cli on a sample company file of a few hundred cards:
// what goes out comes back unchanged, repeated runs write nothing, and a
// change on either side arrives on the other alone.
#include "PostgresServer.h"
#include "QtPrinters.h"
#include "Sandbox.h"

namespace brindle::test {
namespace {

struct LayoutRow
{
    const char* name;
    const char* disableFolders; // the setting DisableOutlookFolders
    int countryCode;            // 2: suppliers are vendors ("V")
    bool server = false;        // the company file a database on a server
};

class RoundTrip : public ProductTest, public testing::WithParamInterface<LayoutRow>
{
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        if (GetParam().server) {
            ASSERT_TRUE(PostgresServer::shared().running());
            sandbox->companyFile = PostgresServer::shared().newDatabase();
        }
        sandbox->makeCompanyFile(300, GetParam().countryCode);
        sandbox->setSetting("DisableOutlookFolders", GetParam().disableFolders);
    }
};

// What goes out comes back unchanged and repeated runs write nothing. Then
// another contact program edits a phone, adds a customer and types a note
// before the notes marker; the accounting software moves a supplier and
// hires an employee. Each run carries exactly those changes across.
TEST_P(RoundTrip, AChangeOnEitherSideArrivesAloneOnTheOther)
{
    expectRun("export");
    const QString file = sandbox->companyFile;
    StoreFiles files = storeFiles(sandbox->store);
    EXPECT_EQ(files.size(), countCards(file));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        EXPECT_EQ(vcardProblem(it->bytes), QString()) << qPrintable(it.key());
    }
    const CardRows exportedRows = cardRows(file);
    expectRun("import");
    EXPECT_EQ(changedKeys(exportedRows, cardRows(file)), QList<qint32>());
    expectRun("export");
    EXPECT_EQ(changedKeys(files, storeFiles(sandbox->store)), QStringList());

    const qint32 phoned = firstCard(file, "CardTypeID = 'C' AND Phone1 <> ''");
    const QString phonedPath = contactOf(files, phoned);
    const QString newPhone = "(03) 9999 1234";
    QString oldPhone;
    writeFile(sandbox->store + u'/' + phonedPath,
              withPhone(files[phonedPath].bytes, newPhone, &oldPhone));

    QString notedPath;
    for (auto it = files.cbegin(); it != files.cend() && notedPath.isEmpty(); ++it) {
        if (it.key() != phonedPath && it->bytes.contains("\r\nNOTE:\\n-!VEXO NOTES!-")) {
            notedPath = it.key();
        }
    }
    ASSERT_FALSE(notedPath.isEmpty());
    const QByteArray noted = files[notedPath].bytes.replace(
        "\r\nNOTE:\\n-!VEXO NOTES!-", "\r\nNOTE:Ring after ten.\\n-!VEXO NOTES!-");
    writeFile(sandbox->store + u'/' + notedPath, noted);

    // Where a user adds a customer with another contact program.
    const bool folders = *GetParam().disableFolders == '0';
    const QString newcomerPath =
        sandbox->store + (folders ? "/Contacts/VEXO Customers" : "/Contacts") + "/newcomer.vcf";
    writeFile(newcomerPath, "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:newcomer\r\nN:Newman;Grace;;;\r\n"
                            "FN:Grace Newman\r\nEMAIL:grace@newman.example\r\n" +
                                QByteArray(folders ? "" : "CATEGORIES:Customer\r\n") +
                                "END:VCARD\r\n");

    const CardRows before = cardRows(file);
    const qint32 newcomer = before.lastKey() + 1;
    expectRun("import");
    const CardRows imported = cardRows(file);
    EXPECT_EQ(changedKeys(before, imported), (QList<qint32>{phoned, newcomer}));
    EXPECT_EQ(imported[phoned], QString(before[phoned]).replace(oldPhone, newPhone));
    EXPECT_TRUE(imported[newcomer].startsWith("C||Newman|Grace|Y|N|"))
        << qPrintable(imported[newcomer]);
    EXPECT_TRUE(imported[newcomer].contains("grace@newman.example"));

    // Not the noted card: each change must stand alone to be seen alone.
    const qint32 moved = firstCard(file, "CardTypeID IN ('S', 'V') AND CardRecordID <> " +
                                             QString::number(linkedCard(noted)));
    RawFile raw(file);
    raw.exec("UPDATE Addresses SET City = 'Ballarat' WHERE Location = 1 AND CardRecordID = ?",
             {moved});
    const qint32 hired = raw.addCard("E", "Quill", "Harper");
    raw.addAddress(hired, 1, {});
    raw.addAddress(hired, 2, {});
    files = storeFiles(sandbox->store);
    expectRun("export");
    const StoreFiles exported = storeFiles(sandbox->store);
    const QString movedPath = contactOf(exported, moved);
    const QString hiredPath = contactOf(exported, hired);
    ASSERT_FALSE(hiredPath.isEmpty());
    const QString newcomerInStore = newcomerPath.mid(sandbox->store.size() + 1);
    QStringList expected{movedPath, hiredPath, newcomerInStore};
    expected.sort();
    EXPECT_EQ(changedKeys(files, exported), expected)
        << "the newcomer's contact takes the link to its new card";
    EXPECT_TRUE(exported[movedPath].bytes.contains("Ballarat"));
    EXPECT_TRUE(exported[hiredPath].bytes.contains("Harper"));
    EXPECT_EQ(linkedCard(exported[newcomerInStore].bytes), newcomer);
    EXPECT_EQ(QString::fromUtf8(exported[notedPath].bytes), QString::fromUtf8(noted))
        << "the user's note stays";
    EXPECT_TRUE(exported[phonedPath].bytes.contains(newPhone.toUtf8()));

    const CardRows settled = cardRows(file);
    expectRun("import");
    EXPECT_EQ(changedKeys(settled, cardRows(file)), QList<qint32>());
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip,
                         testing::Values(LayoutRow{"folders", "0", 1},
                                         LayoutRow{"categories_vendors", "1", 2},
                                         LayoutRow{"server", "0", 1, true}),
                         rowName);

} // namespace
} // namespace brindle::test
