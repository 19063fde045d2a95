#include "ContactSearch.h"
#include "ContactText.h"
#include "CustomFieldDate.h"
#include "contactstore/ContactItem.h"
#include "run/FProcess.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/TextHelpers.h"

#include <QStringList>

namespace brindle {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CCard;

const QString crLf = QStringLiteral("\r\n");
const QString vexoNotes = QStringLiteral("-!VEXO NOTES!-");
const QString outlookNotes = QStringLiteral("-!OUTLOOK NOTES!-");

// Where the setting of a custom field sends it.
enum CustomFieldDestination
{
    ToCategories = 1,
    ToAnniversary = 2,
    ToBirthday = 3,
    ToSpouse = 4
};

// Writes contact properties by name.
class ContactWriter
{
public:
    explicit ContactWriter(contacts::ContactItem& contact) : m_contact(contact) {}

    QString get(const char* name) const
    {
        return m_contact.property(QLatin1String(name)).toString();
    }
    void set(const char* name, const QVariant& value)
    {
        m_contact.setProperty(QLatin1String(name), value);
    }
    void set(const QString& name, const QVariant& value) { m_contact.setProperty(name, value); }

private:
    contacts::ContactItem& m_contact;
};

bool isPerson(const CCard& card)
{
    return card.IsIndividual == QLatin1String("Y");
}

void writeNames(const CCard& card, ContactWriter& contact)
{
    if (isPerson(card)) {
        contact.set("LastName", card.LastName);
        contact.set("FirstName", card.FirstName);
        contact.set("CompanyName", QString());
    } else {
        contact.set("CompanyName", card.LastName);
        contact.set("FileAs", contact.get("CompanyName"));
    }
}

// The contact's own notes before the marker stay; the card's notes follow it.
void writeNotes(const CCard& card, ContactWriter& contact)
{
    if (trimBlanks(card.Notes).isEmpty()) {
        return;
    }
    QString notes = card.Notes;
    if (const qsizetype cut = notes.indexOf(outlookNotes); cut >= 0) {
        notes.truncate(cut);
    }
    const QString body = contact.get("Body");
    const qsizetype marker = body.indexOf(vexoNotes);
    if (!notes.isEmpty()) {
        contact.set("Body",
                    (marker >= 0 ? body.left(marker) : body + crLf) + vexoNotes + crLf + notes);
    } else if (marker >= 0) {
        contact.set("Body", body.left(marker));
    }
}

QString typeWord(const CCard& card, const RunSettings& settings)
{
    const std::optional<CardType> type = CardType::fromLetter(card.CardTypeID);
    return type ? type->word(settings.gsSupplierWord) : QString();
}

// "ABC" gives "C, B, A".
QString identifierList(const QString& identifiers)
{
    QString list;
    for (const QChar letter : identifiers) {
        list = QString(letter.toUpper()) + QLatin1String(", ") + list;
    }
    list = trimBlanks(list);
    list.chop(1);
    return list;
}

const QString CCard::*const customFields[] = {&CCard::CustomField1, &CCard::CustomField2,
                                              &CCard::CustomField3};

qint32 customFieldSetting(int number, const RunSettings& settings)
{
    const qint32 destinations[] = {settings.glCustomField1, settings.glCustomField2,
                                   settings.glCustomField3};
    return destinations[number - 1];
}

// The categories the mapping writes: the type word, the identifier letters
// and the custom fields set to go there.
QString mappedCategories(const CCard& card, const RunSettings& settings)
{
    QString categories = AddCategory(typeWord(card, settings), QString());
    if (!card.Identifiers.isEmpty()) {
        categories = AddCategory(identifierList(card.Identifiers), categories);
    }
    for (int number = 1; number <= 3; ++number) {
        if (customFieldSetting(number, settings) == ToCategories) {
            categories = AddCategory(card.*customFields[number - 1], categories);
        }
    }
    return categories;
}

QStringList trimmedItems(const QString& list)
{
    QStringList items;
    for (const QString& item : list.split(QLatin1Char(','))) {
        items << trimBlanks(item);
    }
    return items;
}

// The categories the contact holds besides those the mapping writes move to
// User4, merged with what it holds; the mapping's own never do, so a second
// export keeps the user's categories where the first put them.
void writeCategories(const CCard& card, const RunSettings& settings, ContactWriter& contact)
{
    const QString mapped = mappedCategories(card, settings);
    const QStringList own = trimmedItems(mapped);
    QStringList others;
    for (const QString& item : trimmedItems(contact.get("Categories"))) {
        if (!item.isEmpty() && !own.contains(item)) {
            others << item;
        }
    }
    if (!others.isEmpty()) {
        contact.set("User4", AddCategory(others.join(QLatin1Char(',')), contact.get("User4")));
    }
    contact.set("Categories", mapped);
}

void writeCustomFields(CCard& card, const RunSettings& settings, ContactWriter& contact)
{
    for (int number = 1; number <= 3; ++number) {
        const QString& value = card.*customFields[number - 1];
        const qint32 destination = customFieldSetting(number, settings);
        if (destination == ToAnniversary || destination == ToBirthday) {
            if (const std::optional<QDate> date = customFieldDate(value)) {
                contact.set(destination == ToAnniversary ? "Anniversary" : "Birthday", *date);
            } else if (!trimBlanks(value).isEmpty()) {
                card.TransferMessage =
                    QStringLiteral("Custom Field #%1 is not a date.").arg(number);
            }
        } else if (destination == ToSpouse) {
            contact.set("Spouse", value);
        }
    }
}

QString street(const CAddress& address)
{
    return QStringList{address.StreetLine1, address.StreetLine2, address.StreetLine3,
                       address.StreetLine4}
        .join(crLf);
}

void writePlace(const CAddress& address, const QString& prefix, ContactWriter& contact)
{
    contact.set(prefix + QLatin1String("Street"), street(address));
    contact.set(prefix + QLatin1String("City"), address.City);
    contact.set(prefix + QLatin1String("State"), address.State);
    contact.set(prefix + QLatin1String("Country"), address.Country);
    contact.set(prefix + QLatin1String("PostalCode"), address.Postcode);
}

void writeMainAddress(const CAddress& address, bool person, ContactWriter& contact)
{
    writePlace(address, person ? QStringLiteral("HomeAddress") : QStringLiteral("BusinessAddress"),
               contact);
    contact.set(person ? "HomeTelephoneNumber" : "BusinessTelephoneNumber", address.Phone1);
    contact.set("BusinessFaxNumber", address.Fax);
    contact.set("SelectedMailingAddress", person ? 1 : 2);
    contact.set("MobileTelephoneNumber", address.Phone2);
    contact.set("OtherTelephoneNumber", address.Phone3);
    contact.set("WebPage", address.WWW);
    contact.set("Email1Address", address.Email);
}

void writeAddresses(const CCard& card, ContactWriter& contact)
{
    bool mainWritten = false;
    bool otherWritten = false;
    for (const CAddress& address : card.Addresses) {
        if (address.Location == 1) {
            writeMainAddress(address, isPerson(card), contact);
            mainWritten = true;
        } else if (address.Location == 2) {
            writePlace(address, QStringLiteral("OtherAddress"), contact);
            otherWritten = true;
        }
        if (mainWritten && otherWritten) {
            break;
        }
    }
}

} // namespace

bool FProcess::MapCardToContact(CCard& pobjVEXOCard, contacts::ContactItem& pobjContact)
{
    try {
        ContactWriter contact(pobjContact);
        writeNames(pobjVEXOCard, contact);
        contact.set("CustomerID", pobjVEXOCard.CardRecordID);
        contact.set("User1", pobjVEXOCard.CardIdentification);
        contact.set("User2", QLatin1String("VEXO") + pobjVEXOCard.CardTypeID);
        contact.set("User3", matchingKey(pobjVEXOCard));
        writeNotes(pobjVEXOCard, contact);
        writeCategories(pobjVEXOCard, m_settings, contact);
        writeCustomFields(pobjVEXOCard, m_settings, contact);
        writeAddresses(pobjVEXOCard, contact);
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MapCardToContact"), error);
        return false;
    }
}

} // namespace brindle
