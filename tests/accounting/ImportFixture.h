#pragma once

#include "AccountingFixture.h"
#include "RunFixture.h"
#include "accounting/CardRules.h"
#include "contactstore/Application.h"
#include "contactstore/Folder.h"
#include "contactstore/Items.h"
#include "startup/CardType.h"

namespace brindle::test {

// An import run on a sample company file, with the contacts written into
// the store for the run's own loading to read.
class ImportFixture : public RunFixture
{
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        MMain::glTransferAction = 1;
    }

    // The card type's folder of the store, made when missing.
    std::shared_ptr<contacts::Folder> typeFolder(contacts::Application& app, const QString& type)
    {
        const auto top = app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
        const QString name = CardType::fromLetter(type)->folderName(MMain::gsSupplierWord);
        try {
            return top->Folders().Item(name);
        } catch (const PlatformError&) {
            return top->Folders().Add(name);
        }
    }

    // Writes the contact an export leaves for the card into the folder of its
    // type; a UID, when given, also fixes its place in the folder's order.
    void exportCard(const TarvoCards::CCard& card, const QString& uid = {})
    {
        contacts::Application app(store.path());
        const auto item = typeFolder(app, card.CardTypeID)->Items().Add();
        if (!uid.isEmpty()) {
            item->setUid(uid);
        }
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

    // The store holds these contacts alone, read in this order; one whose
    // card says it could not be read is a damaged file.
    void writeContacts(const QList<TarvoCards::CCard>& contacts)
    {
        QDir(folderPath()).removeRecursively();
        for (qsizetype i = 0; i < contacts.size(); ++i) {
            const QString uid = QStringLiteral("contact-%1").arg(i, 4, 10, QLatin1Char('0'));
            if (contacts[i].TransferMessage != unreadableContact) {
                exportCard(contacts[i], uid);
                continue;
            }
            contacts::Application app(store.path());
            QFile damaged(typeFolder(app, contacts[i].CardTypeID)->directory() + u'/' + uid +
                          QStringLiteral(".vcf"));
            ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
            damaged.write("BEGIN:VCARD\r\nVERSION:4.0\r\nN:Broken\r\n");
        }
    }

    bool run(const QList<TarvoCards::CCard>& contacts)
    {
        writeContacts(contacts);
        MMain::glTransferAction = 1;
        progress.show(process);
        return process.ProcessData();
    }

    // A second run of its own, reading the store as it is; returns its result
    // and leaves its counters in added and updated.
    bool runAgain()
    {
        CaptionHooks fresh;
        OpenProcess again{prompts, fresh, summary};
        MMain::glTransferAction = 1;
        fresh.show(again);
        const bool ok = again.ProcessData();
        added = again.AddedCards();
        updated = again.UpdatedCards();
        return ok;
    }

    QStringList reportRows() const
    {
        return RunFixture::reportRows(QStringLiteral("VEXOImport.html"));
    }

    CaptionHooks progress;
    FSummary summary;
    OpenProcess process{prompts, progress, summary};
    qint32 added = 0;
    qint32 updated = 0;
};

} // namespace brindle::test
