#pragma once

#include "AccountingFixture.h"
#include "accounting/CardRules.h"
#include "cardlib/CardFixture.h"
#include "contactstore/Application.h"
#include "contactstore/Folder.h"
#include "contactstore/Items.h"
#include "samples/CompanyFileGenerator.h"
#include "startup/CardType.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

namespace brindle::test {

// The run with the contact side standing in: the contacts arrive as the
// cards the mapping makes of them, and the merge is the import's own.
class ContactCardsRun : public OpenProcess
{
public:
    using OpenProcess::OpenProcess;

    QList<TarvoCards::CCard> contacts;

    bool CreateOutlookFolders() override { return true; }
    bool PopulateOutlookDataObjects() override
    {
        mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
        for (const TarvoCards::CCard& contact : std::as_const(contacts)) {
            mobjOutlookColl->AddNew() = contact;
        }
        return true;
    }
    bool MergeCollections() override
    {
        mcolTransfer.clear();
        const bool result = MergeOutlook2VEXO();
        mlTransferCount = qint32(mcolTransfer.size());
        setProgressValue(0);
        return result;
    }
};

// The same, reading the contacts of the card-type folders of a store
// through the mapping.
class ContactStoreRun : public ContactCardsRun
{
public:
    using ContactCardsRun::ContactCardsRun;

    QString root;

    bool PopulateOutlookDataObjects() override
    {
        mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>();
        contacts::Application app(root);
        const auto top = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
        for (const CardType type :
             {CardType::Customer, CardType::Employee, CardType::Supplier, CardType::Personal}) {
            for (const auto& folder : top->Folders()) {
                const auto typed = folder;
                if (typed->Name() != type.folderName(MMain::gsSupplierWord)) {
                    continue;
                }
                const auto items = typed->Items();
                for (int i = 1; i <= items.Count(); ++i) {
                    MapContactToCard(*items.Item(i), mobjOutlookColl->AddNew(),
                                     type.letter(MMain::gsSupplierWord));
                }
            }
        }
        return true;
    }
};

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

// A sample company file in the program folder and an import run on it.
class ImportFixture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        file = folder.filePath(QStringLiteral("company.sqlite"));
        MMain::gobjOptions = std::make_unique<clsOptions>();
        MMain::gobjOptions->Analyse(QStringLiteral("DATABASE=") + file +
                                    QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES"
                                                   "<PERSONAL=YES"));
        MMain::glTransferAction = 1;
        MMain::gbShowOutlookWarning = false;
        MMain::glRulesFilter = 0;
        MMain::glTransferInactives = 0;
    }

    void makeCompanyFile(int countryCode = 1, int cards = 40)
    {
        samples::writeCompanyFile(file, {cards, countryCode, 3, {}}, samples::ExistingFile::Keep);
    }

    // The cards of the company file, in record order.
    QList<TarvoCards::CCard> storedCards()
    {
        TarvoCards::CConnection connection;
        connection.Settings().DataFile = file;
        EXPECT_TRUE(connection.Connect());
        TarvoCards::CCardsColl cards;
        cards.Load({}, QStringLiteral("CardRecordID"));
        return {cards.begin(), cards.end()};
    }
    TarvoCards::CCard storedCard(const QString& condition)
    {
        const qint32 id = RawFile(file)
                              .value(QStringLiteral("SELECT CardRecordID FROM Cards WHERE ") +
                                     condition + QStringLiteral(" ORDER BY CardRecordID"))
                              .toInt();
        for (const TarvoCards::CCard& stored : storedCards()) {
            if (stored.CardRecordID == id) {
                return stored;
            }
        }
        ADD_FAILURE() << "no card where " << qPrintable(condition);
        return {};
    }

    // Every row of the file, to compare before and after.
    QStringList rows()
    {
        QStringList all;
        RawFile raw(file);
        for (const char* sql : {"SELECT * FROM Cards ORDER BY CardRecordID",
                                "SELECT * FROM Addresses ORDER BY CardRecordID, Location"}) {
            QSqlQuery query(raw.db());
            EXPECT_TRUE(query.exec(QString::fromLatin1(sql)));
            while (query.next()) {
                QStringList values;
                for (int i = 0; i < query.record().count(); ++i) {
                    values << query.value(i).toString();
                }
                all << values.join(QLatin1Char('|'));
            }
        }
        return all;
    }
    int count(const QString& sql) { return RawFile(file).value(sql).toInt(); }

    // The contact an export of the card would give, as the mapping reads it back.
    static TarvoCards::CCard contactOf(const TarvoCards::CCard& stored)
    {
        TarvoCards::CCard contact;
        contact.CardTypeID = stored.CardTypeID;
        contact.IsIndividual = stored.IsIndividual;
        contact.IsInactive.clear();
        contact.LastName = stored.LastName;
        if (stored.IsIndividual == QLatin1String("Y")) {
            contact.FirstName = stored.FirstName;
        }
        contact.CardIdentification = stored.CardIdentification;
        contact.CardRecordID = stored.CardRecordID;
        contact.Notes = stored.Notes;
        for (qint32 location = 1; location <= 5; ++location) {
            TarvoCards::CAddress& address = contact.Addresses.Add();
            address.Location = location;
            const auto source = std::find_if(
                stored.Addresses.begin(), stored.Addresses.end(),
                [location](const TarvoCards::CAddress& a) { return a.Location == location; });
            if (location > 2 || source == stored.Addresses.end()) {
                continue;
            }
            QStringList lines{source->StreetLine1, source->StreetLine2, source->StreetLine3,
                              source->StreetLine4};
            while (!lines.isEmpty() && lines.last().isEmpty()) {
                lines.removeLast();
            }
            setStreetLines(address, lines.join(QStringLiteral("\r\n")));
            address.City = source->City;
            address.State = source->State;
            address.Postcode = source->Postcode;
            address.Country = source->Country;
            if (location == 1) {
                address.Phone1 = source->Phone1;
                address.Phone2 = source->Phone2;
                address.Phone3 = source->Phone3;
                address.Fax = source->Fax;
                address.Email = source->Email;
                address.WWW = source->WWW;
            }
        }
        return contact;
    }

    // Writes the contact an export leaves for the card into the folder of its type.
    void exportCard(const QString& root, const TarvoCards::CCard& card)
    {
        contacts::Application app(root);
        const auto top = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
        const QString name =
            CardType::fromLetter(card.CardTypeID)->folderName(MMain::gsSupplierWord);
        std::shared_ptr<contacts::Folder> folder;
        try {
            folder = top->Folders().Item(name);
        } catch (const PlatformError&) {
            folder = top->Folders().Add(name);
        }
        const auto item = folder->Items().Add();
        const auto set = [&item](const char* property, const QString& value) {
            item->setProperty(QString::fromLatin1(property), value);
        };
        const bool individual = card.IsIndividual == QLatin1String("Y");
        set(individual ? "LastName" : "CompanyName", card.LastName);
        set("FirstName", individual ? card.FirstName : QString());
        set("User1", card.CardIdentification);
        set("CustomerID", QString::number(card.CardRecordID));
        set("Body", QStringLiteral("Typed in the contacts -!VEXO NOTES!-") + card.Notes);
        for (const TarvoCards::CAddress& address : card.Addresses) {
            if (address.Location > 2) {
                continue;
            }
            const QString prefix = address.Location == 2 ? QStringLiteral("OtherAddress")
                                   : individual          ? QStringLiteral("HomeAddress")
                                                         : QStringLiteral("BusinessAddress");
            QStringList lines{address.StreetLine1, address.StreetLine2, address.StreetLine3,
                              address.StreetLine4};
            while (!lines.isEmpty() && lines.last().isEmpty()) {
                lines.removeLast();
            }
            item->setProperty(prefix + QLatin1String("Street"), lines.join(QStringLiteral("\r\n")));
            item->setProperty(prefix + QLatin1String("City"), address.City);
            item->setProperty(prefix + QLatin1String("State"), address.State);
            item->setProperty(prefix + QLatin1String("PostalCode"), address.Postcode);
            item->setProperty(prefix + QLatin1String("Country"), address.Country);
            if (address.Location == 1) {
                set(individual ? "HomeTelephoneNumber" : "BusinessTelephoneNumber", address.Phone1);
                set("MobileTelephoneNumber", address.Phone2);
                set("OtherTelephoneNumber", address.Phone3);
                set("BusinessFaxNumber", address.Fax);
                set("WebPage", address.WWW);
                set("Email1Address", address.Email);
            }
        }
        item->Save();
    }

    // A new contact of a type: a person when it has a first name.
    static TarvoCards::CCard newContact(const QString& type, const QString& last,
                                        const QString& first = {})
    {
        TarvoCards::CCard contact = card(type, last, first);
        contact.IsInactive.clear();
        TarvoCards::CAddress& address = contact.Addresses.Add();
        address.Location = 1;
        setStreetLines(address, QStringLiteral("Level 1\r\n2 New St"));
        address.Email = last.toLower() + QStringLiteral("@new.example");
        return contact;
    }

    bool run(const QList<TarvoCards::CCard>& contacts)
    {
        process.contacts = contacts;
        MMain::glTransferAction = 1;
        progress.show(process);
        return process.ProcessData();
    }

    // The report's rows: last name, first name, e-mail, message and status.
    QStringList reportRows() const
    {
        QFile report(QDir(folder.path()).filePath(QStringLiteral("VEXOImport.html")));
        if (!report.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QString text = QString::fromLocal8Bit(report.readAll());
        static const QRegularExpression cell(
            QStringLiteral("<TD><SPAN class='c433'>(.*)</SPAN></TD>"));
        QStringList cells;
        for (auto match = cell.globalMatch(text); match.hasNext();) {
            cells << match.next().captured(1);
        }
        QStringList rows;
        for (qsizetype i = 0; i + 5 <= cells.size(); i += 5) {
            if (cells[i] != QLatin1String("&nbsp")) {
                rows << cells.mid(i, 5).join(QLatin1Char('|'));
            }
        }
        return rows;
    }

    QString file;
    CaptionHooks progress;
    FSummary summary;
    ContactCardsRun process{prompts, progress, summary};
};

} // namespace brindle::test
