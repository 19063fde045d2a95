#include "OrdinaryUser.h"
#include "SyncFixture.h"
#include "accounting/CardRules.h"

namespace brindle {
namespace {

// A contact of the store: its folder ("" the default one), last name and
// categories; a name of "*group" or "*damaged" makes an item that is none.
struct Entry
{
    const char* folder;
    const char* name;
    const char* categories = "";
};

struct LoadingRow
{
    const char* name;
    const char* types; // the option string's card-type switches
    qint32 disableFolders;
    const char* supplierWord;
    QList<Entry> entries;
    QStringList cards; // letter:LastName, "!" when it could not be read
    int categoryNotices;
    QStringList logged; // endings of log lines, in order
    QStringList notLogged;
};

void PrintTo(const LoadingRow& row, std::ostream* out)
{
    *out << row.name;
}

class Loading : public test::SyncFixture
{
protected:
    void writeStore(const QList<Entry>& entries)
    {
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString folderName = QString::fromUtf8(entries[i].folder);
            const QString name = QString::fromUtf8(entries[i].name);
            const QString uid = QStringLiteral("c%1").arg(i, 3, 10, QLatin1Char('0'));
            if (!name.startsWith(u'*')) {
                addContact(folderName, {{"LastName", name}, {"Categories", entries[i].categories}},
                           uid);
                continue;
            }
            QDir().mkpath(folderPath(folderName));
            QFile item(folderPath(folderName) + u'/' + uid + QStringLiteral(".vcf"));
            ASSERT_TRUE(item.open(QIODevice::WriteOnly));
            item.write(name == u"*group" ? "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Team\r\n"
                                           "END:VCARD\r\n"
                                         : "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Broken\r\n");
        }
    }

    void select(const char* types)
    {
        program().gobjOptions->Analyse(QStringLiteral("DATABASE=") + file + QLatin1String(types));
        process.SetTransferFilterOptions();
    }

    QStringList loadedCards() const
    {
        QStringList cards;
        for (const TarvoCards::CCard& card : *process.mobjOutlookColl) {
            cards << card.CardTypeID + u':' + card.LastName +
                         (card.TransferMessage == unreadableContact ? QStringLiteral("!")
                                                                    : QString());
        }
        return cards;
    }
};

class LoadingRows : public Loading, public testing::WithParamInterface<LoadingRow>
{};

TEST_P(LoadingRows, ReadsTheContactsOfTheSelectedTypes)
{
    const LoadingRow& row = GetParam();
    enableLog();
    writeStore(row.entries);
    program().glDisableOutlookFolders = row.disableFolders;
    program().gsSupplierWord = QString::fromLatin1(row.supplierWord);
    select(row.types);

    EXPECT_TRUE(process.PopulateOutlookDataObjects());
    EXPECT_EQ(loadedCards(), row.cards);
    EXPECT_EQ(prompts.notices.count(QStringLiteral("FOutlookCategories")), row.categoryNotices);
    EXPECT_FALSE(process.UserCancelled());
    EXPECT_EQ(progress.events.first(), QStringLiteral("panel:1:1"));
    EXPECT_EQ(progress.events.mid(progress.events.size() - 2),
              QStringList({"panel:1:0", "pointer:0"}));
    const QStringList lines = logLines().filter(QStringLiteral("PopulateOutlookDataObjects "));
    qsizetype at = 0;
    for (const QString& ending : row.logged) {
        while (at < lines.size() && !lines[at].endsWith(ending)) {
            ++at;
        }
        EXPECT_LT(at, lines.size()) << "no line, in order, ending " << ending.toStdString();
    }
    for (const QString& absent : row.notLogged) {
        EXPECT_TRUE(logLines().filter(absent).isEmpty()) << absent.toStdString();
    }
}

const char* const allTypes = "<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES";
const QList<Entry> typeFolders = {{"VEXO Customers", "Ann", "Supplier"},
                                  {"VEXO Customers", "Bob"},
                                  {"VEXO Employees", "Cat"},
                                  {"VEXO Suppliers", "Dan"},
                                  {"VEXO Personal", "Eve"},
                                  {"Clients", "Fay", "Customer"},
                                  {"", "Gus", "Customer"}};
const QList<Entry> categorised = {{"", "Ann", "Vendor, Customer"},
                                  {"", "Bob", "Key customer"},
                                  {"", "Cat"},
                                  {"", "*group", ""},
                                  {"", "Dan", "Friends"},
                                  {"", "*damaged", ""},
                                  {"", "Eve", "Golf"},
                                  {"", "Fay", "Vendors"},
                                  {"VEXO Customers", "Gus", "Customer"}};

const QString created = QStringLiteral(" -- Object Created = True");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Layouts, LoadingRows, testing::Values(
    LoadingRow{"folders: every item of a type's folder is of that type",
        allTypes, 0, "Supplier", typeFolders, {"C:Ann", "C:Bob", "E:Cat", "S:Dan", "P:Eve"}, 0,
        {"Set objContactFolder = mobjOutlookNS.GetDefaultFolder(olFolderContacts)" + created,
         "Set mobjOutlookColl = New TarvoCards.CCardsColl" + created,
         "PopulateOutlookDataObjects Found Folder:Clients|",
         "PopulateOutlookDataObjects Found Folder:VEXO Suppliers|"},
        {"not found"}},
    LoadingRow{"folders: only the selected types' folders are read",
        "<EMPLOYEES=YES", 0, "Supplier", typeFolders, {"E:Cat"}, 0, {}, {"not found"}},
    LoadingRow{"folders: a store without them yet has nothing to read",
        allTypes, 0, "Supplier", {{"", "Gus", "Customer"}}, {}, 0,
        {"PopulateOutlookDataObjects No Folders Found",
         "PopulateOutlookDataObjects VEXO Customers folder not found. Folder Count :0",
         "PopulateOutlookDataObjects No Folders Found"},
        {"Error"}},
    LoadingRow{"folders: items that are no contacts are read as unreadable cards",
        "<CUSTOMERS=YES", 0, "Supplier",
        {{"VEXO Customers", "*group"}, {"VEXO Customers", "Ann"}, {"VEXO Customers", "*damaged"}},
        {"C:!", "C:Ann", "C:!"}, 0, {}, {}},
    LoadingRow{"folders: a United States file reads its vendors",
        "<SUPPLIERS=YES", 0, "Vendor", {{"VEXO Suppliers", "Ann"}, {"VEXO Vendors", "Bob"}},
        {"V:Bob"}, 0, {}, {}},
    LoadingRow{"categories: the first selected type named, one notice for the rest",
        allTypes, 1, "Vendor", categorised, {"C:Ann", "C:Bob", "V:Fay"}, 1,
        {"PopulateOutlookDataObjects Found Folder:VEXO Customers|"}, {}},
    LoadingRow{"categories: a type not selected is passed over",
        "<SUPPLIERS=YES", 1, "Vendor", categorised, {"V:Ann", "V:Fay"}, 1, {}, {}}),
    [](const testing::TestParamInfo<LoadingRow>& info) {
        return QString::fromLatin1(info.param.name)
            .replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"))
            .toStdString();
    });
// clang-format on

TEST_F(Loading, CancelStopsBeforeTheNextContact)
{
    for (const qint32 disableFolders : {0, 1}) {
        SCOPED_TRACE(disableFolders);
        QDir(folderPath()).removeRecursively();
        QList<Entry> entries;
        for (int i = 0; i < 25; ++i) {
            entries.append({disableFolders ? "" : "VEXO Customers", "Ann", "Customer"});
        }
        writeStore(entries);
        program().glDisableOutlookFolders = disableFolders;
        select(allTypes);
        test::OpenRun run{context, program(), progress, summary};
        run.SetTransferFilterOptions();
        progress.show(run);
        progress.pumps = 0;
        progress.atPump = {{1, test::ScriptedProgress::cancel()}};
        prompts.answers = {Prompts::Yes};
        EXPECT_EQ(run.PopulateOutlookDataObjects(), disableFolders == 1);
        EXPECT_EQ(run.mobjOutlookColl->Count(), 10);
        EXPECT_TRUE(run.UserCancelled());
    }
}

// Root reads past permissions, so the refusal is checked as nobody.
TEST_F(Loading, RefusedAccessEndsTheLoadingAsACancel)
{
    writeStore({{"VEXO Customers", "Ann"}, {"VEXO Employees", "Bob"}});
    const auto open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    for (const QString& path : {store.path(), folderPath(), folderPath("VEXO Employees")}) {
        ASSERT_TRUE(QFile::setPermissions(path, open));
    }
    ASSERT_TRUE(QFile::setPermissions(folderPath("VEXO Customers"), {}));
    select(allTypes);
    const auto refused = [&] {
        const bool result = process.PopulateOutlookDataObjects();
        return !result && process.UserCancelled() && process.mobjOutlookColl->Count() == 0;
    };
    EXPECT_TRUE(test::asOrdinaryUser(refused));
    QFile::setPermissions(folderPath("VEXO Customers"), open);
}

struct FolderRow
{
    const char* name;
    qint32 disableFolders;
    const char* supplierWord;
    QStringList before; // sub-folders, or "file:" and the name of a file in their place
    QStringList after;
    bool result;
};

TEST_F(Loading, CreateOutlookFoldersEnsuresTheFourFolders)
{
    const QStringList four{"VEXO Customers", "VEXO Employees", "VEXO Personal", "VEXO Suppliers"};
    // clang-format off
    const FolderRow rows[] = {
        {"categories: no folder touched", 1, "Supplier", {}, {}, true},
        {"all four made, suppliers too", 0, "Supplier", {}, four, true},
        {"vendors in a United States file", 0, "Vendor", {"Clients"},
         {"Clients", "VEXO Customers", "VEXO Employees", "VEXO Personal", "VEXO Vendors"}, true},
        {"present ones, in any case, stay", 0, "Supplier", {"vexo customers"},
         {"vexo customers", "VEXO Employees", "VEXO Personal", "VEXO Suppliers"}, true},
        {"one that cannot be made leaves the others", 0, "Supplier", {"file:VEXO Employees"},
         {"VEXO Customers", "VEXO Personal", "VEXO Suppliers"}, false},
    };
    // clang-format on
    enableLog();
    select("<CUSTOMERS=YES");
    for (const FolderRow& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folderPath()).removeRecursively();
        for (const QString& name : row.before) {
            if (name.startsWith(QLatin1String("file:"))) {
                QDir().mkpath(folderPath());
                QFile(folderPath(name.mid(5))).open(QIODevice::WriteOnly);
            } else {
                QDir().mkpath(folderPath(name));
            }
        }
        program().glDisableOutlookFolders = row.disableFolders;
        program().gsSupplierWord = QString::fromLatin1(row.supplierWord);
        const qsizetype errorsBefore =
            logLines().filter(QStringLiteral("CreateOutlookFolders Error : ")).size();
        test::OpenRun run{context, program(), progress, summary};
        EXPECT_EQ(run.CreateOutlookFolders(), row.result);
        EXPECT_EQ(QDir(folderPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), row.after);
        EXPECT_EQ(logLines().filter(QStringLiteral("CreateOutlookFolders Error : ")).size(),
                  errorsBefore + (row.result ? 0 : 1));
        EXPECT_TRUE(run.mobjOutlookApp);
    }
}

TEST_F(Loading, TheConnectionIsOpenedOncePerRun)
{
    enableLog();
    ASSERT_TRUE(process.OpenOutlookConnection());
    const auto app = process.mobjOutlookApp;
    const auto ns = process.mobjOutlookNS;
    ASSERT_TRUE(process.OpenOutlookConnection());
    EXPECT_EQ(process.mobjOutlookApp, app);
    EXPECT_EQ(process.mobjOutlookNS, ns);
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines) {
        EXPECT_TRUE(line.endsWith(QStringLiteral(
            " VEXOBrindle.FProcess.OpenOutlookConnection Outlook Objects Created.")));
    }
}

} // namespace
} // namespace brindle
