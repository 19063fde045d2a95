#include "SampleCards.h"

#include <QDate>

namespace TarvoCards {

namespace {

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

QString typePrefix(const QString& typeCode)
{
    static const QHash<QString, QString> prefixes{
        {"C", "CUS"}, {"S", "SUP"}, {"V", "VEN"}, {"E", "EMP"}, {"P", "PER"}};
    return prefixes.value(typeCode, QStringLiteral("CRD"));
}

} // namespace

SampleCards::SampleCards(quint32 seed, int countryCode)
    : m_rng(seed), m_unitedStates(countryCode == 2)
{}

QString SampleCards::nextType()
{
    const int roll = pick(100);
    return roll < 45   ? QStringLiteral("C")
           : roll < 70 ? QStringLiteral("S")
           : roll < 85 ? QStringLiteral("E")
                       : QStringLiteral("P");
}

QByteArray SampleCards::bytes(int count)
{
    QByteArray data;
    for (int i = 0; i < count; ++i) {
        data += char(pick(256));
    }
    return data;
}

CImportCard SampleCards::next(const QString& typeCode)
{
    CImportCard card;
    card.CardTypeID = typeCode;
    const int individualPercent = typeCode == QLatin1String("E")   ? 100
                                  : typeCode == QLatin1String("P") ? 80
                                  : typeCode == QLatin1String("C") ? 40
                                                                   : 20;
    name(card, chance(individualPercent));
    ++m_counter;
    card.CardIdentification = chance(60) ? QStringLiteral("%1%2")
                                               .arg(typePrefix(typeCode))
                                               .arg(m_counter, 6, 10, QLatin1Char('0'))
                                         : QStringLiteral("*None");
    describe(card);
    const int addressCount = 2 + pick(4);
    for (int location = 1; location <= addressCount; ++location) {
        card.Addresses.append(address(location, card));
    }
    return card;
}

void SampleCards::name(CImportCard& card, bool individual)
{
    card.IsIndividual = individual ? QStringLiteral("Y") : QStringLiteral("N");
    if (individual) {
        card.FirstName = any(firstNames);
        card.LastName =
            uniqueName(card.CardTypeID + QStringLiteral("|Y|") + card.FirstName, any(lastNames));
        return;
    }
    const QString suffix = m_unitedStates ? any(usSuffixes) : any(auSuffixes);
    card.LastName = uniqueName(
        card.CardTypeID + QStringLiteral("|N|"),
        QStringLiteral("%1 %2 %3").arg(any(companyFirst), any(companySecond), suffix).trimmed());
}

QString SampleCards::uniqueName(const QString& key, QString name)
{
    const QString base = name;
    for (int n = 2; m_usedNames.contains(key + name); ++n) {
        name = QStringLiteral("%1 %2").arg(base).arg(n);
    }
    m_usedNames.insert(key + name);
    return name;
}

void SampleCards::describe(CImportCard& card)
{
    card.IsInactive = chance(10) ? QStringLiteral("Y") : QStringLiteral("N");
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (chance(8)) {
            card.Identifiers += QLatin1Char(letter);
        }
    }
    card.CustomField1 = chance(60) ? date() : QString();
    card.CustomField2 = chance(50) ? any(remarks) : QString();
    card.CustomField3 = chance(30) ? QString::number(100000 + pick(900000)) : QString();
    card.Notes = chance(40) ? any(notes) : QString();
    card.InvoiceDeliveryID = any(deliveries);
    card.PurchaseDeliveryID = any(deliveries);
}

QString SampleCards::date()
{
    const QDate day = QDate(1990, 1, 1).addDays(pick(12000));
    return day.toString(m_unitedStates ? QStringLiteral("MM/dd/yyyy")
                                       : QStringLiteral("dd/MM/yyyy"));
}

CAddress SampleCards::address(int location, const CImportCard& card)
{
    CAddress address;
    address.Location = location;
    if (location > 2 && chance(50)) {
        return address; // an unused address slot, as most files have
    }
    const QStringList place = (m_unitedStates ? any(usPlaces) : any(auPlaces)).split('|');
    address.StreetLine1 = QStringLiteral("%1 %2").arg(1 + pick(400)).arg(any(streets));
    address.StreetLine2 = chance(30) ? QStringLiteral("Level %1").arg(1 + pick(30)) : QString();
    address.City = place.at(0);
    address.State = place.at(1);
    address.Postcode = place.at(2);
    address.Country =
        m_unitedStates ? QStringLiteral("United States") : QStringLiteral("Australia");
    address.Phone1 = QStringLiteral("(0%1) %2 %3")
                         .arg(2 + pick(7))
                         .arg(1000 + pick(9000))
                         .arg(1000 + pick(9000));
    if (location == 1) {
        const QString domain = asciiWord(card.LastName.left(16)) + QStringLiteral(".example");
        const bool person = card.IsIndividual == QLatin1String("Y");
        address.Email = (person ? asciiWord(card.FirstName) : QStringLiteral("info")) +
                        QStringLiteral("@") + domain;
        address.WWW = card.IsIndividual == QLatin1String("N")
                          ? QStringLiteral("http://www.") + domain
                          : QString();
        address.Phone2 =
            chance(50) ? QStringLiteral("04%1").arg(10000000 + pick(89999999)) : QString();
        address.Salutation =
            card.IsIndividual == QLatin1String("N") ? QStringLiteral("Dear Sir") : QString();
        address.ContactName = card.IsIndividual == QLatin1String("N")
                                  ? QStringLiteral("%1 %2").arg(any(firstNames), any(lastNames))
                                  : QString();
    }
    return address;
}

} // namespace TarvoCards
