#pragma once

#include "RunFixture.h"
#include "accounting/AccountingFixture.h"
#include "contactstore/Application.h"
#include "startup/CardType.h"

#include <QDirIterator>
#include <sys/stat.h>

namespace brindle::test {

// The number of syncfs calls the process made (SyncfsCounter.cpp).
int& syncfsCalls();

// The run with the contact side's state open to the tests.
class OpenExport : public OpenProcess
{
public:
    using FProcess::mcolRejected;
    using FProcess::mobjOutlookApp;
    using FProcess::mobjOutlookNS;
    using OpenProcess::OpenProcess;
};

// Properties of a contact by name, as the tests write and expect them.
using Properties = QList<std::pair<const char*, QVariant>>;

// Exports of a sample company file into the test's contact store.
class ExportFixture : public RunFixture
{
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        MMain::glTransferAction = 2;
    }

    // One export with a run form and summary of its own; before runs on the
    // form first. The counters land in added, updated and total.
    template <typename Run = OpenExport>
    bool runExport(const std::function<void(std::type_identity_t<Run>&)>& before = {})
    {
        return runTransfer<Run>(2, before);
    }
    // An import of the store into the company file, the same way.
    bool runImport() { return runTransfer<OpenExport>(1, {}); }

    template <typename Run>
    bool runTransfer(qint32 direction, const std::function<void(Run&)>& before)
    {
        progress.events.clear();
        progress.values.clear();
        progress.pumps = progress.pausedMilliseconds = 0;
        summary = FSummary();
        MMain::glTransferAction = direction;
        Run run{prompts, progress, summary};
        if (before) {
            before(run);
        }
        progress.show(run);
        syncfsCalls() = 0;
        const bool ok = run.ProcessData();
        syncs = syncfsCalls();
        added = run.AddedCards();
        updated = run.UpdatedCards();
        total = run.TotalCards();
        return ok;
    }

    QStringList exportReport() const { return reportRows(QStringLiteral("OutlookImport.html")); }

    // The cards an export of the company file writes: the active ones.
    QList<TarvoCards::CCard> activeCards()
    {
        QList<TarvoCards::CCard> active;
        for (const TarvoCards::CCard& card : storedCards()) {
            if (card.IsInactive != QLatin1String("Y")) {
                active << card;
            }
        }
        return active;
    }

    // The contacts of a folder of the store ("" the default one), read afresh.
    QList<std::shared_ptr<contacts::ContactItem>> contactsIn(const QString& name = {})
    {
        contacts::Application app(store.path());
        auto folder = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
        if (!name.isEmpty()) {
            folder = folder->Folders().Item(name);
        }
        QList<std::shared_ptr<contacts::ContactItem>> items;
        for (const std::shared_ptr<contacts::ContactItem> item : folder->Items()) {
            items << item;
        }
        return items;
    }
    // The contact of a card in a folder, found by its record ID; null if none.
    std::shared_ptr<contacts::ContactItem> contactOf(const TarvoCards::CCard& card,
                                                     const QString& name)
    {
        for (const auto& item : contactsIn(name)) {
            if (item->Class() == 40 &&
                item->property(QStringLiteral("CustomerID")).toInt() == card.CardRecordID) {
                return item;
            }
        }
        return nullptr;
    }
    // The folder a card's contact is in: its type's, or the default folder.
    QString folderOf(const TarvoCards::CCard& card)
    {
        if (MMain::glDisableOutlookFolders == 1) {
            return {};
        }
        const bool vendors =
            count(QStringLiteral("SELECT count(*) FROM Cards WHERE CardTypeID = 'V'")) > 0;
        return CardType::fromLetter(card.CardTypeID)
            ->folderName(vendors ? QStringLiteral("Vendor") : QStringLiteral("Supplier"));
    }
    std::shared_ptr<contacts::ContactItem> contactOf(const TarvoCards::CCard& card)
    {
        return contactOf(card, folderOf(card));
    }
    QString property(const TarvoCards::CCard& card, const char* name)
    {
        const auto contact = contactOf(card);
        return contact ? contact->property(QString::fromLatin1(name)).toString() : QString();
    }
    QString contactFile(const TarvoCards::CCard& card)
    {
        const auto contact = contactOf(card);
        return contact ? folderPath(folderOf(card)) + u'/' + contact->fileName() : QString();
    }
    TarvoCards::CCard active(const char* condition)
    {
        return storedCard(QStringLiteral("IsInactive = 'N' AND ") + QLatin1String(condition));
    }
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Writes a contact as another program would, with a UID that puts it
    // first in its folder's order.
    std::shared_ptr<contacts::ContactItem> addContact(const QString& name,
                                                      const Properties& properties,
                                                      const QString& uid = QStringLiteral("0000"))
    {
        contacts::Application app(store.path());
        auto folder = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
        if (!name.isEmpty()) {
            try {
                folder = folder->Folders().Item(name);
            } catch (const PlatformError&) {
                folder = folder->Folders().Add(name);
            }
        }
        const auto item = folder->Items().Add();
        item->setUid(uid);
        for (const auto& [property, value] : properties) {
            item->setProperty(QString::fromLatin1(property), value);
        }
        item->Save();
        return item;
    }
    // Changes stored contacts as another program would.
    void changeContact(const std::shared_ptr<contacts::ContactItem>& item,
                       const Properties& properties)
    {
        for (const auto& [property, value] : properties) {
            item->setProperty(QString::fromLatin1(property), value);
        }
        item->Save();
    }

    // Every file of the store with its inode and modification time, which a
    // rewrite through a temporary file changes.
    QHash<QString, QString> fileStamps() const
    {
        QHash<QString, QString> stamps;
        QDirIterator it(store.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat info
            {};
            ::stat(QFile::encodeName(path).constData(), &info);
            stamps.insert(path, QStringLiteral("%1 %2.%3")
                                    .arg(info.st_ino)
                                    .arg(info.st_mtim.tv_sec)
                                    .arg(info.st_mtim.tv_nsec));
        }
        return stamps;
    }

    int contactFiles() const
    {
        return int(
            fileStamps().keys().filter(QRegularExpression(QStringLiteral("\\.vcf$"))).size());
    }

    CaptionHooks progress;
    FSummary summary;
    OpenExport process{prompts, progress, summary};
    qint32 added = 0;
    qint32 updated = 0;
    qint32 total = 0;
    int syncs = 0;
};

} // namespace brindle::test
