#include "SampleContacts.h"

#include "Application.h"

#include <QDate>
#include <QUuid>
#include <random>

namespace contacts {

namespace {

const char* const firstNames[] = {"Jo",   "Ana",   "Mei", "Tomás", "Priya", "Liam", "Zoë", "Ahmed",
                                  "Kate", "Oskar", "Nia", "Ravi",  "Sofia", "Hugh", "Ewa", "Chen"};
const char* const lastNames[] = {"Smith", "O'Neil",    "García", "Nguyen", "Müller", "Kowalski",
                                 "Patel", "Brown",     "Okafor", "Rossi",  "Tanaka", "Dubois",
                                 "Kelly", "Johansson", "Silva",  "Walsh"};
const char* const companyWords[] = {"Acme",  "Harbour", "Summit", "Blue Gum", "Northwind",
                                    "Koala", "Redfern", "Atlas",  "Wattle",   "Pioneer"};
const char* const companyKinds[] = {"Traders",     "Pty Ltd",    "Logistics",
                                    "Bakery, The", "Consulting", "Supplies"};
const char* const streets[] = {"George St",    "King St",     "Harbour Rd",
                               "Elizabeth St", "Queen's Pde", "Main Rd"};
const char* const cities[] = {"Sydney", "Melbourne", "Brisbane", "Perth", "Hobart", "Newcastle"};
const char* const states[] = {"NSW", "VIC", "QLD", "WA", "TAS", "NSW"};
const char* const ownCategories[] = {"Friends", "Key account", "Christmas cards", "Golf"};
const char* const notes[] = {"Met at the trade fair.", "Prefers e-mail; call after 10am.",
                             "Invoices to head office,\nnot the branch."};

struct CardType
{
    QString letter;
    QString folder;
    QString word;
};

class Generator
{
public:
    Generator(const SampleOptions& options) : m_options(options), m_random(options.seed) {}

    int pick(int count) { return int(m_random() % quint32(count)); }
    bool chance(int percent) { return pick(100) < percent; }
    template <size_t N> QString any(const char* const (&list)[N])
    {
        return QString::fromUtf8(list[pick(int(N))]);
    }

    QString uid(int index) const
    {
        static const QUuid space = QUuid::fromString(u"6f1c0f6e-3a55-4c1b-9a4e-2b6cbd7c1e01");
        return QUuid::createUuidV5(space, QStringLiteral("%1/%2").arg(m_options.seed).arg(index))
            .toString(QUuid::WithoutBraces);
    }

    void fill(ContactItem& item, const CardType& type, int index);

private:
    void fillAddress(ContactItem& item, const QString& prefix);

    const SampleOptions& m_options;
    std::mt19937 m_random;
};

void Generator::fillAddress(ContactItem& item, const QString& prefix)
{
    const int city = pick(int(std::size(cities)));
    QString street = QString::number(1 + pick(300)) + u' ' + any(streets);
    if (chance(20)) {
        street = QStringLiteral("Level %1\r\n").arg(1 + pick(20)) + street;
    }
    item.setProperty(prefix + QLatin1String("Street"), street);
    item.setProperty(prefix + QLatin1String("City"), QString::fromUtf8(cities[city]));
    item.setProperty(prefix + QLatin1String("State"), QString::fromUtf8(states[city]));
    item.setProperty(prefix + QLatin1String("PostalCode"), QString::number(2000 + pick(5000)));
    item.setProperty(prefix + QLatin1String("Country"), QStringLiteral("Australia"));
}

void Generator::fill(ContactItem& item, const CardType& type, int index)
{
    const bool company = (type.letter == u"C" || type.letter == u"S") && chance(50);
    const QString phone = QStringLiteral("(02) 9%1 %2").arg(100 + pick(900)).arg(1000 + pick(9000));
    if (company) {
        const QString name = any(companyWords) + u' ' + any(companyKinds);
        item.setProperty(QStringLiteral("CompanyName"), name);
        item.setProperty(QStringLiteral("FileAs"), name);
        fillAddress(item, QStringLiteral("BusinessAddress"));
        item.setProperty(QStringLiteral("BusinessTelephoneNumber"), phone);
        item.setProperty(QStringLiteral("WebPage"),
                         QStringLiteral("www.example%1.com.au").arg(index));
        item.setProperty(QStringLiteral("SelectedMailingAddress"), 2);
    } else {
        item.setProperty(QStringLiteral("FirstName"), any(firstNames));
        item.setProperty(QStringLiteral("LastName"), any(lastNames));
        fillAddress(item, QStringLiteral("HomeAddress"));
        item.setProperty(QStringLiteral("HomeTelephoneNumber"), phone);
        item.setProperty(QStringLiteral("SelectedMailingAddress"), 1);
        if (chance(30)) {
            item.setProperty(QStringLiteral("Birthday"),
                             QDate(1950 + pick(50), 1 + pick(12), 1 + pick(28)));
        }
    }
    item.setProperty(QStringLiteral("Email1Address"),
                     QStringLiteral("contact%1@example.com").arg(index));
    if (chance(60)) {
        item.setProperty(QStringLiteral("MobileTelephoneNumber"), QStringLiteral("04%1 %2 %3")
                                                                      .arg(10 + pick(90))
                                                                      .arg(100 + pick(900))
                                                                      .arg(100 + pick(900)));
    }
    if (chance(20)) {
        fillAddress(item, QStringLiteral("OtherAddress"));
    }
    if (chance(30)) {
        item.setProperty(QStringLiteral("Body"), any(notes));
    }
    QStringList categories;
    if (m_options.layout == SampleOptions::Layout::Categories) {
        categories += type.word;
    }
    if (chance(25)) {
        categories += any(ownCategories);
    }
    item.setProperty(QStringLiteral("Categories"), categories.join(QStringLiteral(", ")));
    if (chance(40)) {
        // Contacts a previous export wrote carry its link fields.
        const int record = 1 + index;
        item.setProperty(QStringLiteral("CustomerID"), QString::number(record));
        item.setProperty(
            QStringLiteral("User1"),
            QStringLiteral("%1%2").arg(type.letter).arg(record, 5, 10, QLatin1Char('0')));
        item.setProperty(QStringLiteral("User2"), QLatin1String("VEXO") + type.letter);
    }
    item.setUid(uid(index));
}

QList<CardType> cardTypes(const QString& supplierWord)
{
    const QString supplierLetter =
        supplierWord.isEmpty() ? QStringLiteral("S") : supplierWord.left(1).toUpper();
    return {{QStringLiteral("C"), QStringLiteral("VEXO Customers"), QStringLiteral("Customer")},
            {supplierLetter, QLatin1String("VEXO ") + supplierWord + u's', supplierWord},
            {QStringLiteral("E"), QStringLiteral("VEXO Employees"), QStringLiteral("Employee")},
            {QStringLiteral("P"), QStringLiteral("VEXO Personal"), QStringLiteral("Personal")}};
}

std::shared_ptr<Folder> subFolder(Folder& parent, const QString& name)
{
    try {
        return parent.Folders().Item(name);
    } catch (const brindle::PlatformError& error) {
        if (error.number() != brindle::ErrorNumber::NotFound) {
            throw;
        }
        return parent.Folders().Add(name);
    }
}

void writeOtherItems(const QString& directory, quint32 seed)
{
    const QByteArray group = "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Christmas cards\r\n"
                             "UID:group-" +
                             QByteArray::number(seed) + "\r\nEND:VCARD\r\n";
    writeFileAtomically(directory + QLatin1String("/group-christmas-cards.vcf"), group);
    writeFileAtomically(directory + QLatin1String("/damaged-export.vcf"),
                        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Half a card\r\nTEL;TYPE=");
}

} // namespace

SampleSummary writeSampleContacts(const QString& root, const SampleOptions& options)
{
    Application application(root);
    const std::shared_ptr<Folder> contacts =
        application.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
    const QList<CardType> types = cardTypes(options.supplierWord);
    QList<std::shared_ptr<Folder>> folders;
    for (const CardType& type : types) {
        folders += options.layout == SampleOptions::Layout::Folders
                       ? subFolder(*contacts, type.folder)
                       : contacts;
    }
    Generator generator(options);
    static const int weights[] = {50, 20, 10, 20}; // customers, suppliers, employees, personal
    for (int index = 0; index < options.contacts; ++index) {
        int roll = generator.pick(100);
        int type = 0;
        while (roll >= weights[type]) {
            roll -= weights[type++];
        }
        const std::shared_ptr<ContactItem> item = folders[type]->Items().Add();
        generator.fill(*item, types[type], index);
        item->Save();
    }
    writeOtherItems(contacts->directory(), options.seed);
    return {options.contacts, 2};
}

} // namespace contacts
