#include "CardRules.h"
#include "CompanyFileSide.h"
#include "cardlib/CardFields.h"
#include "contactstore/ContactItem.h"
#include "startup/ErrorLog.h"
#include "startup/TextHelpers.h"

#include <algorithm>
#include <span>

namespace brindle {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;
using TarvoCards::CImportCard;

const QString crLf = QStringLiteral("\r\n");
const QString vexoNotes = QStringLiteral("-!VEXO NOTES!-");

// An address member and the contact property that fills it, for an
// individual's card and for a company's.
struct ContactField
{
    QString CAddress::*member;
    const char* individual;
    const char* company;
};

const ContactField firstAddress[] = {
    {&CAddress::State, "HomeAddressState", "BusinessAddressState"},
    {&CAddress::Postcode, "HomeAddressPostalCode", "BusinessAddressPostalCode"},
    {&CAddress::City, "HomeAddressCity", "BusinessAddressCity"},
    {&CAddress::Country, "HomeAddressCountry", "BusinessAddressCountry"},
    {&CAddress::Phone1, "HomeTelephoneNumber", "BusinessTelephoneNumber"},
    {&CAddress::Fax, "BusinessFaxNumber", "BusinessFaxNumber"},
    {&CAddress::Phone2, "MobileTelephoneNumber", "MobileTelephoneNumber"},
    {&CAddress::Phone3, "OtherTelephoneNumber", "OtherTelephoneNumber"},
    {&CAddress::WWW, "WebPage", "WebPage"},
    {&CAddress::Email, "Email1Address", "Email1Address"},
};

const ContactField otherAddress[] = {
    {&CAddress::State, "OtherAddressState", "OtherAddressState"},
    {&CAddress::Postcode, "OtherAddressPostalCode", "OtherAddressPostalCode"},
    {&CAddress::City, "OtherAddressCity", "OtherAddressCity"},
    {&CAddress::Country, "OtherAddressCountry", "OtherAddressCountry"},
};

// Reads a contact's properties by name.
class ContactReader
{
public:
    explicit ContactReader(contacts::ContactItem& contact) : m_contact(contact) {}

    QString raw(const char* name) { return m_contact.property(QLatin1String(name)).toString(); }
    QString tabFree(const char* name) { return raw(name).remove(QLatin1Char('\t')); }

    void fill(CAddress& address, qint32 location, const char* street,
              std::span<const ContactField> fields, bool individual)
    {
        address.Location = location;
        setStreetLines(address, withWindowsLineBreaks(tabFree(street)));
        for (const ContactField& field : fields) {
            address.*field.member = tabFree(individual ? field.individual : field.company);
        }
    }

private:
    contacts::ContactItem& m_contact;
};

// "Acme Traders, The" is written "The Acme Traders".
QString withTheInFront(const QString& company)
{
    if (company.trimmed().right(5).toUpper() != QLatin1String(", THE")) {
        return company;
    }
    return QLatin1String("The ") + company.left(company.lastIndexOf(QLatin1Char(',')));
}

// The link an export left in the contact: a whole number, 0 for none.
qint32 linkedRecord(const QString& customerId)
{
    bool ok = false;
    const qint32 id = customerId.trimmed().toInt(&ok);
    return ok ? id : 0;
}

// A street line as the company file takes it: one line, no tabs, and a
// single space for a line that is now blank.
QString streetLine(const QString& line)
{
    QString value = line.isEmpty() ? QStringLiteral(" ") : line;
    return value.remove(crLf).remove(QLatin1Char('\t'));
}

} // namespace

QString withWindowsLineBreaks(const QString& text)
{
    QString result = text;
    result.replace(crLf, QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result.replace(QLatin1Char('\n'), crLf);
}

void setStreetLines(CAddress& address, const QString& street)
{
    const QStringList lines = street.isEmpty() ? QStringList() : street.split(crLf);
    if (lines.isEmpty()) {
        address.StreetLine1.clear();
        return;
    }
    QString* const members[] = {&address.StreetLine1, &address.StreetLine2, &address.StreetLine3,
                                &address.StreetLine4};
    *members[0] = streetLine(lines[0]);
    for (qsizetype k = 1; k < 4; ++k) {
        if (k < lines.size()) {
            *members[k] = streetLine(lines[k]);
        } else if (!address.StreetLine1.isEmpty()) {
            *members[k] = QStringLiteral(" ");
        }
    }
}

bool CompanyFileSide::MapContactToCard(contacts::ContactItem& pobjContact, CCard& pobjVEXOCard,
                                       const QString& psCardTypeID, bool withDetails)
{
    try {
        ContactReader contact(pobjContact);
        pobjVEXOCard.CardTypeID = psCardTypeID;
        pobjVEXOCard.IsInactive.clear(); // a contact does not say: the card keeps its flag
        const QString company = withTheInFront(contact.tabFree("CompanyName"));
        const bool individual = company.trimmed().isEmpty();
        if (individual) {
            pobjVEXOCard.IsIndividual = QStringLiteral("Y");
            pobjVEXOCard.LastName = contact.tabFree("LastName");
            pobjVEXOCard.FirstName = contact.tabFree("FirstName");
        } else {
            pobjVEXOCard.IsIndividual = QStringLiteral("N");
            pobjVEXOCard.LastName = company;
        }
        pobjVEXOCard.CardIdentification = contact.raw("User1");
        pobjVEXOCard.CardRecordID = 0;
        const qint32 linked = linkedRecord(contact.raw("CustomerID"));
        const CCard* existing = linked != 0 && mobjExistingCards
                                    ? mobjExistingCards->Item(TarvoCards::cardKey(linked))
                                    : nullptr;
        if (existing && existing->CardTypeID == pobjVEXOCard.CardTypeID) {
            pobjVEXOCard.CardRecordID = linked;
        }
        if (withDetails) {
            const QString body = contact.raw("Body");
            pobjVEXOCard.Notes = body.left(body.indexOf(vexoNotes));
            pobjVEXOCard.Addresses.reserve(5); // one allocation for the five, not one each
            contact.fill(pobjVEXOCard.Addresses.Add(), 1,
                         individual ? "HomeAddressStreet" : "BusinessAddressStreet", firstAddress,
                         individual);
            contact.fill(pobjVEXOCard.Addresses.Add(), 2, "OtherAddressStreet", otherAddress,
                         individual);
            for (qint32 location = 3; location <= 5; ++location) {
                pobjVEXOCard.Addresses.Add().Location = location;
            }
        }
        if (trimBlanks(pobjVEXOCard.LastName).isEmpty() &&
            trimBlanks(pobjVEXOCard.FirstName).isEmpty()) {
            pobjVEXOCard.ContactFile = pobjContact.fileName();
        }
        return true;
    } catch (const std::exception& error) {
        pobjVEXOCard.ContactFile = pobjContact.fileName();
        m_context.logError(QStringLiteral("FProcess.MapContactToCard"), error);
        const auto* platformError = dynamic_cast<const PlatformError*>(&error);
        if (platformError && (platformError->number() == ErrorNumber::Unspecified ||
                              platformError->number() == ErrorNumber::PermissionDenied)) {
            m_run.mbUserCancelled = true; // access to the contacts was refused or failed
        }
        pobjVEXOCard.TransferMessage = unreadableContact;
        return false;
    }
}

bool CompanyFileSide::MapCardToCard(const CCard& pobjSourceCard, CImportCard& pobjDestCard)
{
    try {
        const auto copy = [this](const auto& field, const auto& source, auto& dest) {
            const QString& value = source.*field.member;
            switch (field.copy) {
            case TarvoCards::ImportCopy::NotCopied:
                break;
            case TarvoCards::ImportCopy::AsIs:
                dest.*field.member = value;
                break;
            case TarvoCards::ImportCopy::OrEmpty:
                dest.*field.member = value.isEmpty() ? msEmptyValue : value;
                break;
            }
        };
        pobjDestCard.Addresses.reserve(
            std::count_if(pobjSourceCard.Addresses.cbegin(), pobjSourceCard.Addresses.cend(),
                          [](const CAddress& source) { return source.Location < 3; }));
        for (const CAddress& source : pobjSourceCard.Addresses) {
            if (source.Location >= 3) {
                continue;
            }
            CAddress& dest = pobjDestCard.Addresses.Add();
            dest.Location = source.Location;
            // Address 2 takes only the fields a contact fills there.
            for (const auto& field : TarvoCards::addressColumns()) {
                if (source.Location == 1 || (field.carried & TarvoCards::OnOtherAddress)) {
                    copy(field, source, dest);
                }
            }
        }
        pobjDestCard.CardRecordID = pobjSourceCard.CardRecordID;
        pobjDestCard.Key = pobjSourceCard.Key;
        for (const auto& field : TarvoCards::cardColumns()) {
            copy(field, pobjSourceCard, pobjDestCard);
        }
        if (pobjSourceCard.CardRecordID > 0) {
            if (const StoredDelivery* stored = storedDelivery(pobjSourceCard.CardTypeID.toUpper(),
                                                              pobjSourceCard.CardRecordID)) {
                pobjDestCard.InvoiceDeliveryID = stored->invoice;
                pobjDestCard.PurchaseDeliveryID = stored->purchase;
            }
        }
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MapCardToCard"), error);
        return false;
    }
}

} // namespace brindle
