#include "CardGenerator.h"

#include <QDate>
#include <QStringList>

namespace brindle::samples {

namespace {

using TarvoCards::CAddress;
using TarvoCards::CImportCard;

const char* const firstNames[] = {
    "James", "Olivia", "Liam",  "Chloé", "Zoë", "Seán",   "Mia",  "Noah",      "Amélie", "Björn",
    "Ngaio", "Aroha",  "Mateo", "Priya", "Wei", "Fatima", "Jack", "Charlotte", "Oliver", "Isla"};
const char* const lastNames[] = {"Smith",     "O'Brien",  "D'Arcy",   "Müller",       "Nguyễn",
                                 "Jørgensen", "Williams", "Brown",    "Wilson",       "Taylor",
                                 "Johnson",   "García",   "Kowalski", "Papadopoulos", "O'Connor",
                                 "Lee",       "Martin",   "Anderson", "Thompson",     "White"};
const char* const companyFirst[] = {"Acme",    "Harbour",   "Southern", "Blue Gum", "Kookaburra",
                                    "Pacific", "Café Zoë",  "Red Rock", "Wattle",   "Golden",
                                    "Crown",   "O'Neill's", "Smith"};
const char* const companySecond[] = {"Traders",    "Supplies",   "Engineering", "Plumbing",
                                     "Bakery",     "Consulting", "Freight",     "Timber",
                                     "Electrical", "Florists"};
const char* const auSuffixes[] = {"Pty Ltd", "& Co", "& Sons", ""};
const char* const usSuffixes[] = {"Inc", "LLC", "& Co", ""};
const char* const streets[] = {"George St",       "Collins St", "Queen St",   "Main St",
                               "King William St", "Elm Ave",    "Harbour Rd", "Station Pde"};
const char* const auPlaces[] = {"Sydney|NSW|2000", "Melbourne|VIC|3000", "Brisbane|QLD|4000",
                                "Perth|WA|6000",   "Hobart|TAS|7000",    "Darwin|NT|0800"};
const char* const usPlaces[] = {"Springfield|IL|62701", "Portland|OR|97201", "Austin|TX|73301",
                                "Boston|MA|02108",      "Denver|CO|80202",   "Seattle|WA|98101"};
const char* const remarks[] = {"Net 30", "VIP", "Wholesale", "Key account", "Grün & Co referral"};
const char* const notes[] = {"Prefers e-mail.", "Call before delivery.\r\nGate code 4711.",
                             "Met at the trade fair; wants the new catalogue.",
                             "Pays by direct debit & quarterly."};
const char* const deliveries[] = {"P", "E", "B", "A"};

// Plain lower-case letters of a name, for e-mail and web addresses.
QString asciiWord(const QString& text)
{
    QString word;
    for (const QChar c : text.normalized(QString::NormalizationForm_D).toLower()) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            word += c;
        }
    }
    return word;
}

int individualPercent(CardType type)
{
    switch (type.id()) {
    case CardType::Employee:
        return 100;
    case CardType::Personal:
        return 80;
    case CardType::Customer:
        return 40;
    case CardType::Supplier:
        return 20;
    }
    return 0;
}

} // namespace

CardGenerator::CardGenerator(SampleRandom& random, int countryCode)
    : m_random(random), m_unitedStates(countryCode == 2),
      m_supplierWord(CardType::supplierWordOf(countryCode))
{}

CImportCard CardGenerator::next(CardType type)
{
    CImportCard card;
    card.CardTypeID = type.letter(m_supplierWord);
    name(card, m_random.chance(individualPercent(type)));
    ++m_counter;
    card.CardIdentification = m_random.chance(60)
                                  ? QStringLiteral("%1%2")
                                        .arg(type.word(m_supplierWord).left(3).toUpper())
                                        .arg(m_counter, 6, 10, QLatin1Char('0'))
                                  : QStringLiteral("*None");
    describe(card);
    const int addressCount = 2 + m_random.pick(4);
    for (int location = 1; location <= addressCount; ++location) {
        card.Addresses.append(address(location, card));
    }
    return card;
}

void CardGenerator::name(CImportCard& card, bool individual)
{
    card.IsIndividual = individual ? QStringLiteral("Y") : QStringLiteral("N");
    if (individual) {
        card.FirstName = m_random.any(firstNames);
        card.LastName = uniqueName(card.CardTypeID + QStringLiteral("|Y|") + card.FirstName,
                                   m_random.any(lastNames));
        return;
    }
    const QString suffix = m_unitedStates ? m_random.any(usSuffixes) : m_random.any(auSuffixes);
    card.LastName =
        uniqueName(card.CardTypeID + QStringLiteral("|N|"),
                   QStringLiteral("%1 %2 %3")
                       .arg(m_random.any(companyFirst), m_random.any(companySecond), suffix)
                       .trimmed());
}

QString CardGenerator::uniqueName(const QString& key, const QString& name)
{
    // No base name ends in a number, so "Smith 2" never meets a base "Smith 2".
    const int uses = ++m_nameUses[key + name];
    return uses == 1 ? name : QStringLiteral("%1 %2").arg(name).arg(uses);
}

void CardGenerator::describe(CImportCard& card)
{
    card.IsInactive = m_random.chance(10) ? QStringLiteral("Y") : QStringLiteral("N");
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (m_random.chance(8)) {
            card.Identifiers += QLatin1Char(letter);
        }
    }
    card.CustomField1 = m_random.chance(60) ? date() : QString();
    card.CustomField2 = m_random.chance(50) ? m_random.any(remarks) : QString();
    card.CustomField3 =
        m_random.chance(30) ? QString::number(100000 + m_random.pick(900000)) : QString();
    card.Notes = m_random.chance(40) ? m_random.any(notes) : QString();
    card.InvoiceDeliveryID = m_random.any(deliveries);
    card.PurchaseDeliveryID = m_random.any(deliveries);
}

QString CardGenerator::date()
{
    const QDate day = QDate(1990, 1, 1).addDays(m_random.pick(12000));
    return day.toString(m_unitedStates ? QStringLiteral("MM/dd/yyyy")
                                       : QStringLiteral("dd/MM/yyyy"));
}

CAddress CardGenerator::address(int location, const CImportCard& card)
{
    CAddress address;
    address.Location = location;
    if (location > 2 && m_random.chance(50)) {
        return address; // an unused address slot, as most files have
    }
    const QStringList place =
        (m_unitedStates ? m_random.any(usPlaces) : m_random.any(auPlaces)).split('|');
    address.StreetLine1 =
        QStringLiteral("%1 %2").arg(1 + m_random.pick(400)).arg(m_random.any(streets));
    address.StreetLine2 =
        m_random.chance(30) ? QStringLiteral("Level %1").arg(1 + m_random.pick(30)) : QString();
    address.City = place.at(0);
    address.State = place.at(1);
    address.Postcode = place.at(2);
    address.Country =
        m_unitedStates ? QStringLiteral("United States") : QStringLiteral("Australia");
    address.Phone1 = QStringLiteral("(0%1) %2 %3")
                         .arg(2 + m_random.pick(7))
                         .arg(1000 + m_random.pick(9000))
                         .arg(1000 + m_random.pick(9000));
    if (location != 1) {
        return address;
    }
    const bool company = card.IsIndividual == QLatin1String("N");
    const QString domain = asciiWord(card.LastName.left(16)) + QStringLiteral(".example");
    address.Email = (company ? QStringLiteral("info") : asciiWord(card.FirstName)) +
                    QStringLiteral("@") + domain;
    address.WWW = company ? QStringLiteral("http://www.") + domain : QString();
    address.Phone2 = m_random.chance(50)
                         ? QStringLiteral("04%1").arg(10000000 + m_random.pick(89999999))
                         : QString();
    address.Salutation = company ? QStringLiteral("Dear Sir") : QString();
    address.ContactName =
        company ? QStringLiteral("%1 %2").arg(m_random.any(firstNames), m_random.any(lastNames))
                : QString();
    return address;
}

} // namespace brindle::samples
