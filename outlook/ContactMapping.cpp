#include "ContactSearch.h"
#include "ContactSide.h"
#include "CustomFieldDate.h"
#include "contactstore/ContactItem.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/TextHelpers.h"
#include "transfer/ContactText.h"

#include <QStringList>

namespace brindle {

namespace {

using namespace Qt::StringLiterals;

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

// Writes contact properties by name; names written as u"..."_s are not
// copied, which an export of many cards would do some thirty times a card.
class ContactWriter
{
public:
    explicit ContactWriter(contacts::ContactItem& contact) : m_contact(contact) {}

    QString get(const QString& name) const { return m_contact.property(name).toString(); }
    void set(const QString& name, const QVariant& value) { m_contact.setProperty(name, value); }

private:
    contacts::ContactItem& m_contact;
};

void writeNames(const CCard& card, ContactWriter& contact)
{
    if (card.isPerson()) {
        contact.set(u"LastName"_s, card.LastName);
        contact.set(u"FirstName"_s, card.FirstName);
        contact.set(u"CompanyName"_s, QString());
    } else {
        contact.set(u"CompanyName"_s, card.LastName);
        contact.set(u"FileAs"_s, contact.get(u"CompanyName"_s));
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
    const QString body = contact.get(u"Body"_s);
    const qsizetype marker = body.indexOf(vexoNotes);
    if (!notes.isEmpty()) {
        contact.set(u"Body"_s,
                    (marker >= 0 ? body.left(marker) : body + crLf) + vexoNotes + crLf + notes);
    } else if (marker >= 0) {
        contact.set(u"Body"_s, body.left(marker));
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
    for (const QString& item : trimmedItems(contact.get(u"Categories"_s))) {
        if (!item.isEmpty() && !own.contains(item)) {
            others << item;
        }
    }
    if (!others.isEmpty()) {
        contact.set(u"User4"_s,
                    AddCategory(others.join(QLatin1Char(',')), contact.get(u"User4"_s)));
    }
    contact.set(u"Categories"_s, mapped);
}

void writeCustomFields(CCard& card, const RunSettings& settings, ContactWriter& contact)
{
    for (int number = 1; number <= 3; ++number) {
        const QString& value = card.*customFields[number - 1];
        const qint32 destination = customFieldSetting(number, settings);
        if (destination == ToAnniversary || destination == ToBirthday) {
            if (const std::optional<QDate> date = customFieldDate(value)) {
                contact.set(destination == ToAnniversary ? u"Anniversary"_s : u"Birthday"_s, *date);
            } else if (!trimBlanks(value).isEmpty()) {
                card.TransferMessage =
                    QStringLiteral("Custom Field #%1 is not a date.").arg(number);
            }
        } else if (destination == ToSpouse) {
            contact.set(u"Spouse"_s, value);
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
    contact.set(person ? u"HomeTelephoneNumber"_s : u"BusinessTelephoneNumber"_s, address.Phone1);
    contact.set(u"BusinessFaxNumber"_s, address.Fax);
    contact.set(u"SelectedMailingAddress"_s, person ? 1 : 2);
    contact.set(u"MobileTelephoneNumber"_s, address.Phone2);
    contact.set(u"OtherTelephoneNumber"_s, address.Phone3);
    contact.set(u"WebPage"_s, address.WWW);
    contact.set(u"Email1Address"_s, address.Email);
}

void writeAddresses(const CCard& card, ContactWriter& contact)
{
    bool mainWritten = false;
    bool otherWritten = false;
    for (const CAddress& address : card.Addresses) {
        if (address.Location == 1) {
            writeMainAddress(address, card.isPerson(), contact);
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

bool ContactSide::MapCardToContact(CCard& pobjVEXOCard, contacts::ContactItem& pobjContact)
{
    try {
        ContactWriter contact(pobjContact);
        writeNames(pobjVEXOCard, contact);
        contact.set(u"CustomerID"_s, pobjVEXOCard.CardRecordID);
        contact.set(u"User1"_s, pobjVEXOCard.CardIdentification);
        contact.set(u"User2"_s, QLatin1String("VEXO") + pobjVEXOCard.CardTypeID);
        contact.set(u"User3"_s, matchingKey(pobjVEXOCard));
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
