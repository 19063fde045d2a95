#pragma once

#include "ProgramFixture.h"
#include "QtPrinters.h"
#include "ScriptedProgress.h"
#include "accounting/AccountingFixture.h"
#include "accounting/CardRules.h"
#include "cardlib/CardFixture.h"
#include "contactstore/Application.h"
#include "contactstore/Folder.h"
#include "contactstore/Items.h"
#include "dialogs/FSummary.h"
#include "run/FProcess.h"
#include "samples/CompanyFileGenerator.h"
#include "startup/CardType.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

namespace brindle::test {

// The number of syncfs calls the process made (SyncfsCounter.cpp).
int& syncfsCalls();

// A progress window that runs an action when a caption is shown.
class CaptionHooks : public ScriptedProgress
{
public:
    QHash<QString, std::function<void()>> onCaption;

    void setCaption(const QString& caption) override
    {
        ScriptedProgress::setCaption(caption);
        if (const auto action = onCaption.take(caption)) {
            action();
        }
    }
};

// What a run is set to. Applied in one place, transfer(), so a table names
// only what its row changes.
struct SyncSettings
{
    QString types = QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES");
    qint32 rule = 0; // 0 update, 2 do not update, 3 ask
    qint32 inactives = 0;
    qint32 disableFolders = 0;
    QString supplierWord = QStringLiteral("Supplier");
    bool suppressReport = false;
};

// Properties of a contact by name, as the tests write and expect them.
using Properties = QList<std::pair<const char*, QVariant>>;

// The sync fixture: a sample company file in the program folder, a contact
// store of the test's own, and whole runs through the core with scripted
// ports. Cards are judged by SQL, contacts as the store parses them.
class SyncFixture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        ASSERT_TRUE(store.isValid());
        qputenv("BRINDLE_CONTACTS", store.path().toUtf8());
        file = folder.filePath("company.sqlite");
        applySettings(2);
    }
    void TearDown() override
    {
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    // The one place the settings reach the program, for the runs and for
    // the tests of single steps.
    void applySettings(qint32 direction)
    {
        RunSettings& run = program();
        run.gobjOptions.emplace();
        run.gobjOptions->Analyse("DATABASE=" + file + settings.types);
        run.gbShowOutlookWarning = false;
        run.glTransferAction = direction;
        run.glRulesFilter = settings.rule;
        run.glTransferInactives = settings.inactives;
        run.glDisableOutlookFolders = settings.disableFolders;
        run.gsSupplierWord = settings.supplierWord;
        run.gbSuppressReport = settings.suppressReport;
    }
    // One run (1 import, 2 export) with a fresh form and summary; before
    // runs on the form first. The counters land in added, updated, total
    // and syncs.
    bool transfer(qint32 direction, const std::function<void(OpenProcess&)>& before = {})
    {
        applySettings(direction);
        progress.events.clear();
        progress.values.clear();
        progress.pumps = progress.pausedMilliseconds = 0;
        summary = FSummary(context, program());
        OpenProcess run{context, program(), progress, summary};
        if (before) {
            before(run);
        }
        progress.show(run);
        syncfsCalls() = 0;
        const bool ok = run.ProcessData();
        syncs = syncfsCalls();
        std::tie(added, updated, total) =
            std::tuple(run.AddedCards(), run.UpdatedCards(), run.TotalCards());
        return ok;
    }
    bool runExport() { return transfer(2); }
    // An import of these contacts alone, written into the store first.
    bool runImport(const QList<TarvoCards::CCard>& contacts)
    {
        writeContacts(contacts);
        return transfer(1);
    }

    void makeCompanyFile(int countryCode = 1, int cards = 40)
    {
        samples::writeCompanyFile(file, {cards, countryCode, 3, {}}, samples::ExistingFile::Keep);
    }

    // ---- The company file's side.
    // The cards where the condition holds, by record ID.
    QList<TarvoCards::CCard> storedCards(const QString& condition = {})
    {
        TarvoCards::CConnection connection;
        connection.Settings().DataFile = file;
        EXPECT_TRUE(connection.Connect());
        TarvoCards::CCardsColl cards;
        cards.Load(connection, condition, QStringLiteral("CardRecordID"));
        return {cards.begin(), cards.end()};
    }
    TarvoCards::CCard storedCard(const QString& condition)
    {
        const QList<TarvoCards::CCard> cards = storedCards(condition);
        EXPECT_FALSE(cards.isEmpty()) << "no card where " << qPrintable(condition);
        return cards.value(0);
    }
    TarvoCards::CCard active(const QString& condition)
    {
        return storedCard("IsInactive = 'N' AND " + condition);
    }
    QList<TarvoCards::CCard> activeCards() { return storedCards("IsInactive <> 'Y'"); }
    // Every row of the file, to compare before and after.
    QStringList rows()
    {
        QStringList all;
        RawFile raw(file);
        for (const char* sql : {"SELECT * FROM Cards ORDER BY CardRecordID",
                                "SELECT * FROM Addresses ORDER BY CardRecordID, Location"}) {
            QSqlQuery query(raw.db());
            EXPECT_TRUE(query.exec(sql));
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i) {
                    values << query.value(i).toString();
                }
                all << values.join(u'|');
            }
        }
        return all;
    }
    QVariant value(const QString& sql, const QVariantList& values = {})
    {
        return RawFile(file).value(sql, values);
    }
    int count(const QString& sql) { return value(sql).toInt(); }
    // The city of a card's first address, in the file at path (the company file by default).
    QString city(qint32 id, const QString& path = {})
    {
        return RawFile(path.isEmpty() ? file : path)
            .value("SELECT City FROM Addresses WHERE CardRecordID = ? AND Location = 1", {id})
            .toString();
    }
    void setCity(const TarvoCards::CCard& card, const QString& city)
    {
        RawFile(file).exec("UPDATE Addresses SET City = ? WHERE CardRecordID = ? AND Location = 1",
                           {city, card.CardRecordID});
    }

    // The rows of a report in the program folder ("" none): last name, first
    // name, e-mail, message and status.
    QStringList reportRows(const QString& reportFile) const
    {
        static const QRegularExpression cell("<TD><SPAN class='c433'>(.*)</SPAN></TD>");
        QStringList cells;
        for (auto match = cell.globalMatch(QString::fromLocal8Bit(readAll(inFolder(reportFile))));
             match.hasNext();) {
            cells << match.next().captured(1);
        }
        QStringList rows;
        for (qsizetype i = 0; i + 5 <= cells.size(); i += 5) {
            if (cells[i] != u"&nbsp") {
                rows << cells.mid(i, 5).join(u'|');
            }
        }
        return rows;
    }
    QStringList importReport() const { return reportRows("VEXOImport.html"); }
    QStringList exportReport() const { return reportRows("OutlookImport.html"); }
    QString inFolder(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // ---- The contact store's side.
    // The directory of a folder of the store: "" for the default folder.
    QString folderPath(const QString& name = {}) const
    {
        const QString contacts = store.path() + "/Contacts";
        return name.isEmpty() ? contacts : contacts + u'/' + name;
    }
    // A folder of the store, made when missing ("" the default one).
    std::shared_ptr<contacts::Folder> storeFolder(contacts::Application& app, const QString& name)
    {
        const auto top = app.GetNamespace("MAPI")->GetDefaultFolder(10);
        if (name.isEmpty()) {
            return top;
        }
        try {
            return top->Folders().Item(name);
        } catch (const PlatformError&) {
            return top->Folders().Add(name);
        }
    }
    // The folder a card's contact is in: its type's, or the default folder.
    QString folderOf(const TarvoCards::CCard& card)
    {
        if (settings.disableFolders == 1) {
            return {};
        }
        const bool vendors = count("SELECT count(*) FROM Cards WHERE CardTypeID = 'V'") > 0;
        return CardType::fromLetter(card.CardTypeID)->folderName(vendors ? "Vendor" : "Supplier");
    }
    // The contact linked to a card by its record ID; null if none.
    std::shared_ptr<contacts::ContactItem> contactOf(const TarvoCards::CCard& card)
    {
        contacts::Application app(store.path());
        for (const std::shared_ptr<contacts::ContactItem> item :
             storeFolder(app, folderOf(card))->Items()) {
            if (item->Class() == contacts::ContactItem::ContactClass &&
                item->property("CustomerID").toInt() == card.CardRecordID) {
                return item;
            }
        }
        return nullptr;
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
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Writes a contact as another program would; the UID fixes its place in
    // the folder's order.
    std::shared_ptr<contacts::ContactItem>
    addContact(const QString& name, const Properties& properties, const QString& uid = "0000")
    {
        contacts::Application app(store.path());
        const auto item = storeFolder(app, name)->Items().Add();
        item->setUid(uid);
        changeContact(item, properties);
        return item;
    }
    void changeContact(const std::shared_ptr<contacts::ContactItem>& item,
                       const Properties& properties)
    {
        for (const auto& [property, value] : properties) {
            item->setProperty(QString::fromLatin1(property), value);
        }
        item->Save();
    }
    int contactFiles() const
    {
        int files = 0;
        for (QDirIterator it(store.path(), {"*.vcf"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next()) {
            ++files;
        }
        return files;
    }

    // A new contact of a type: a person when it has a first name.
    static TarvoCards::CCard newContact(const QString& type, const QString& last,
                                        const QString& first = {})
    {
        TarvoCards::CCard contact = card(type, last, first);
        contact.IsInactive.clear();
        TarvoCards::CAddress& address = contact.Addresses.Add();
        address.Location = 1;
        setStreetLines(address, "Level 1\r\n2 New St");
        address.Email = last.toLower() + "@new.example";
        return contact;
    }
    // The store holds these contacts alone, read in this order, each as an
    // export leaves it; one whose card says it could not be read is a damaged file.
    void writeContacts(const QList<TarvoCards::CCard>& contacts)
    {
        QDir(folderPath()).removeRecursively();
        applySettings(2);
        contacts::Application app(store.path());
        for (qsizetype i = 0; i < contacts.size(); ++i) {
            TarvoCards::CCard card = contacts[i];
            const auto folder = storeFolder(
                app, CardType::fromLetter(card.CardTypeID)->folderName(settings.supplierWord));
            const QString uid = QString("contact-%1").arg(i, 4, 10, QChar(u'0'));
            if (card.TransferMessage == unreadableContact) {
                writeFile(folder->directory() + u'/' + uid + ".vcf",
                          "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Broken\r\n");
                continue;
            }
            const auto item = folder->Items().Add();
            item->setUid(uid);
            EXPECT_TRUE(process.contacts().MapCardToContact(card, *item));
            item->Save();
        }
    }

    // The program's settings, which the table's settings are applied to.
    RunSettings& program() { return ProgramFixture::settings; }

    SyncSettings settings;
    QString file;
    QTemporaryDir store;
    CaptionHooks progress;
    FSummary summary{context, ProgramFixture::settings};
    OpenProcess process{context, ProgramFixture::settings, progress,
                        summary}; // for the tests of single steps
    qint32 added = 0;
    qint32 updated = 0;
    qint32 total = 0;
    int syncs = 0;
};

} // namespace brindle::test
