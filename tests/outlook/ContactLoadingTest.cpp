#include "OrdinaryUser.h"
#include "SyncFixture.h"
#include "TableFile.h"
#include "accounting/CardRules.h"

namespace brindle {
namespace {

class Loading : public test::SyncFixture
{
protected:
    // Items by "folder/last name:categories", apart by "; ".
    void writeStore(const QString& entries)
    {
        QDir(folderPath()).removeRecursively();
        const QStringList items = entries.split("; ", Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString folderName = items[i].section(u'/', 0, 0);
            const QString name = items[i].section(u'/', 1).section(u':', 0, 0);
            const QString uid = QString("c%1").arg(qlonglong(i), 3, 10, QChar(u'0'));
            if (!name.startsWith(u'*')) {
                addContact(folderName,
                           {{"LastName", name}, {"Categories", items[i].section(u':', 1)}}, uid);
                continue;
            }
            QDir().mkpath(folderPath(folderName));
            QFile item(folderPath(folderName) + u'/' + uid + ".vcf");
            ASSERT_TRUE(item.open(QIODevice::WriteOnly));
            item.write(name == u"*group" ? "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Team\r\n"
                                           "END:VCARD\r\n"
                                         : "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Broken\r\n");
        }
    }

    static QStringList loadedCards(const test::OpenProcess& run)
    {
        QStringList cards;
        for (const TarvoCards::CCard& card : *run.state.mobjOutlookColl) {
            cards << card.CardTypeID + u':' + card.LastName +
                         (card.TransferMessage == unreadableContact ? "!" : "");
        }
        return cards;
    }
};

TEST_F(Loading, ReadsTheContactsOfTheSelectedTypes)
{
    enableLog();
    for (const QStringList& row : test::tableRows("loading.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        writeStore(row[4]);
        settings.types = row[1] == u"all" ? test::SyncSettings().types : row[1];
        std::tie(settings.disableFolders, settings.supplierWord) =
            std::tuple(row[2].toInt(), row[3]);
        applySettings(2);
        program().gbCategoryWarningShown = false; // once a program
        test::OpenProcess run{context, program(), progress, summary};
        run.SetTransferFilterOptions();
        prompts.notices.clear();
        progress.events.clear();
        const qsizetype logged = logLines().size();

        EXPECT_TRUE(run.PopulateOutlookDataObjects());
        EXPECT_EQ(loadedCards(run).join("; "), row[5]);
        EXPECT_EQ(prompts.notices.count("FOutlookCategories"), row[6].toInt());
        EXPECT_FALSE(run.UserCancelled());
        EXPECT_EQ(progress.events.first() + ' ' +
                      progress.events.mid(progress.events.size() - 2).join(' '),
                  "panel:1:1 panel:1:0 pointer:0");
        const QStringList lines = logLines().mid(logged).filter("PopulateOutlookDataObjects ");
        qsizetype at = 0;
        for (QString ending : row[7].split("; ", Qt::SkipEmptyParts)) {
            ending.replace(u'@', " -- Object Created = True");
            while (at < lines.size() && !lines[at].endsWith(ending)) {
                ++at;
            }
            EXPECT_LT(at, lines.size()) << "no line, in order, ending " << ending.toStdString();
        }
        if (!row[8].isEmpty()) {
            EXPECT_TRUE(logLines().mid(logged).filter(row[8]).isEmpty());
        }
    }
}

TEST_F(Loading, CancelStopsBeforeTheNextContact)
{
    for (const qint32 disableFolders : {0, 1}) {
        SCOPED_TRACE(disableFolders);
        writeStore(QStringList(25, disableFolders ? "/Ann:Customer" : "VEXO Customers/Ann:Customer")
                       .join("; "));
        program().glDisableOutlookFolders = disableFolders;
        test::OpenProcess run{context, program(), progress, summary};
        run.SetTransferFilterOptions();
        progress.show(run);
        progress.pumps = 0;
        progress.atPump = {{1, test::ScriptedProgress::cancel()}};
        prompts.answers = {Prompts::Yes};
        EXPECT_EQ(run.PopulateOutlookDataObjects(), disableFolders == 1);
        EXPECT_EQ(run.state.mobjOutlookColl->Count(), 10);
        EXPECT_TRUE(run.UserCancelled());
    }
}

// Root reads past permissions, so the refusal is checked as nobody.
TEST_F(Loading, RefusedAccessEndsTheLoadingAsACancel)
{
    writeStore("VEXO Customers/Ann; VEXO Employees/Bob");
    const auto open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    for (const QString& path : {store.path(), folderPath(), folderPath("VEXO Employees")}) {
        ASSERT_TRUE(QFile::setPermissions(path, open));
    }
    ASSERT_TRUE(QFile::setPermissions(folderPath("VEXO Customers"), {}));
    process.SetTransferFilterOptions();
    const auto refused = [&] {
        const bool result = process.PopulateOutlookDataObjects();
        return !result && process.UserCancelled() && process.state.mobjOutlookColl->Count() == 0;
    };
    EXPECT_TRUE(test::asOrdinaryUser(refused));
    QFile::setPermissions(folderPath("VEXO Customers"), open);
}

TEST_F(Loading, CreateOutlookFoldersEnsuresTheFourFolders)
{
    enableLog();
    settings.types = "<CUSTOMERS=YES";
    applySettings(2);
    for (const QStringList& row : test::tableRows("folders.txt")) {
        SCOPED_TRACE(row[0].toStdString());
        QDir(folderPath()).removeRecursively();
        QDir().mkpath(folderPath());
        for (const QString& name : row[3].split(", ", Qt::SkipEmptyParts)) {
            if (name.startsWith("file:")) {
                QFile(folderPath(name.mid(5))).open(QIODevice::WriteOnly);
            } else {
                QDir().mkpath(folderPath(name));
            }
        }
        program().glDisableOutlookFolders = row[1].toInt();
        program().gsSupplierWord = row[2];
        const bool succeeds = row[5] == u"yes";
        QFile::remove(MMain::logFilePath());
        test::OpenProcess run{context, program(), progress, summary};
        EXPECT_EQ(run.CreateOutlookFolders(), succeeds);
        EXPECT_EQ(QDir(folderPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                  row[4].split(", ", Qt::SkipEmptyParts));
        EXPECT_EQ(logLines().filter("CreateOutlookFolders Error : ").size(), succeeds ? 0 : 1);
        EXPECT_TRUE(run.contacts().mobjOutlookApp);
    }
}

} // namespace
} // namespace brindle
