#include "ContactStoreGenerator.h"

#include "SampleRandom.h"
#include "contactstore/Application.h"

#include <QDate>
#include <QSaveFile>
#include <QUuid>

namespace brindle::samples {

namespace {

using contacts::ContactItem;
using contacts::Folder;

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

class ContactGenerator
{
public:
    explicit ContactGenerator(const ContactStoreOptions& options)
        : m_options(options), m_random(options.seed)
    {}

    CardType cardType() { return m_random.cardType(); }
    void fill(ContactItem& item, CardType type, int index);

private:
    void fillAddress(ContactItem& item, const QString& prefix);
    void fillPerson(ContactItem& item, const QString& phone);
    void fillCompany(ContactItem& item, const QString& phone, int index);
    void fillLinks(ContactItem& item, CardType type, int index);
    QString uid(int index) const;

    const ContactStoreOptions& m_options;
    SampleRandom m_random;
};

void ContactGenerator::fillAddress(ContactItem& item, const QString& prefix)
{
    const int city = m_random.pick(int(std::size(cities)));
    QString street = QString::number(1 + m_random.pick(300)) + u' ' + m_random.any(streets);
    if (m_random.chance(20)) {
        street = QStringLiteral("Level %1\r\n").arg(1 + m_random.pick(20)) + street;
    }
    item.setProperty(prefix + QLatin1String("Street"), street);
    item.setProperty(prefix + QLatin1String("City"), QString::fromUtf8(cities[city]));
    item.setProperty(prefix + QLatin1String("State"), QString::fromUtf8(states[city]));
    item.setProperty(prefix + QLatin1String("PostalCode"),
                     QString::number(2000 + m_random.pick(5000)));
    item.setProperty(prefix + QLatin1String("Country"), QStringLiteral("Australia"));
}

void ContactGenerator::fillCompany(ContactItem& item, const QString& phone, int index)
{
    const QString name = m_random.any(companyWords) + u' ' + m_random.any(companyKinds);
    item.setProperty(QStringLiteral("CompanyName"), name);
    item.setProperty(QStringLiteral("FileAs"), name);
    fillAddress(item, QStringLiteral("BusinessAddress"));
    item.setProperty(QStringLiteral("BusinessTelephoneNumber"), phone);
    item.setProperty(QStringLiteral("WebPage"), QStringLiteral("www.example%1.com.au").arg(index));
    item.setProperty(QStringLiteral("SelectedMailingAddress"), 2);
}

void ContactGenerator::fillPerson(ContactItem& item, const QString& phone)
{
    item.setProperty(QStringLiteral("FirstName"), m_random.any(firstNames));
    item.setProperty(QStringLiteral("LastName"), m_random.any(lastNames));
    fillAddress(item, QStringLiteral("HomeAddress"));
    item.setProperty(QStringLiteral("HomeTelephoneNumber"), phone);
    item.setProperty(QStringLiteral("SelectedMailingAddress"), 1);
    if (m_random.chance(30)) {
        item.setProperty(
            QStringLiteral("Birthday"),
            QDate(1950 + m_random.pick(50), 1 + m_random.pick(12), 1 + m_random.pick(28)));
    }
}

// Contacts a previous export wrote carry its link fields.
void ContactGenerator::fillLinks(ContactItem& item, CardType type, int index)
{
    const int record = 1 + index;
    const QString letter = type.letter(m_options.supplierWord);
    item.setProperty(QStringLiteral("CustomerID"), QString::number(record));
    item.setProperty(QStringLiteral("User1"),
                     QStringLiteral("%1%2").arg(letter).arg(record, 5, 10, QLatin1Char('0')));
    item.setProperty(QStringLiteral("User2"), QLatin1String("VEXO") + letter);
}

void ContactGenerator::fill(ContactItem& item, CardType type, int index)
{
    const bool company =
        (type == CardType::Customer || type == CardType::Supplier) && m_random.chance(50);
    const QString phone =
        QStringLiteral("(02) 9%1 %2").arg(100 + m_random.pick(900)).arg(1000 + m_random.pick(9000));
    if (company) {
        fillCompany(item, phone, index);
    } else {
        fillPerson(item, phone);
    }
    item.setProperty(QStringLiteral("Email1Address"),
                     QStringLiteral("contact%1@example.com").arg(index));
    if (m_random.chance(60)) {
        item.setProperty(QStringLiteral("MobileTelephoneNumber"),
                         QStringLiteral("04%1 %2 %3")
                             .arg(10 + m_random.pick(90))
                             .arg(100 + m_random.pick(900))
                             .arg(100 + m_random.pick(900)));
    }
    if (m_random.chance(20)) {
        fillAddress(item, QStringLiteral("OtherAddress"));
    }
    if (m_random.chance(30)) {
        item.setProperty(QStringLiteral("Body"), m_random.any(notes));
    }
    QStringList categories;
    if (m_options.layout == ContactStoreOptions::Layout::Categories) {
        categories += type.word(m_options.supplierWord);
    }
    if (m_random.chance(25)) {
        categories += m_random.any(ownCategories);
    }
    item.setProperty(QStringLiteral("Categories"), categories.join(QStringLiteral(", ")));
    if (m_random.chance(40)) {
        fillLinks(item, type, index);
    }
    item.setUid(uid(index));
}

QString ContactGenerator::uid(int index) const
{
    static const QUuid space = QUuid::fromString(u"6f1c0f6e-3a55-4c1b-9a4e-2b6cbd7c1e01");
    return QUuid::createUuidV5(space, QStringLiteral("%1/%2").arg(m_options.seed).arg(index))
        .toString(QUuid::WithoutBraces);
}

std::shared_ptr<Folder> subFolder(Folder& parent, const QString& name)
{
    try {
        return parent.Folders().Item(name);
    } catch (const PlatformError& error) {
        if (error.number() != ErrorNumber::NotFound) {
            throw;
        }
        return parent.Folders().Add(name);
    }
}

void writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw PlatformError(ErrorNumber::Unspecified,
                            QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    }
}

// Items other programs leave in a contacts folder: a group card and a file
// cut off in the middle.
void writeOtherItems(const QString& root, quint32 seed)
{
    const QString folder = root + QStringLiteral("/Contacts/");
    writeWhole(folder + QStringLiteral("group-christmas-cards.vcf"),
               "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Christmas cards\r\nUID:group-" +
                   QByteArray::number(seed) + "\r\nEND:VCARD\r\n");
    writeWhole(folder + QStringLiteral("damaged-export.vcf"),
               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Half a card\r\nTEL;TYPE=");
}

} // namespace

ContactStoreSummary writeContactStore(const QString& root, const ContactStoreOptions& options)
{
    if (root.isEmpty()) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("An empty path names no contact store"));
    }
    if (options.contacts < 0 || options.contacts > maxSampleContacts) {
        throw PlatformError(ErrorNumber::PermissionDenied,
                            QStringLiteral("%1 contacts: give 0 to %2")
                                .arg(options.contacts)
                                .arg(maxSampleContacts));
    }
    contacts::Application application(root);
    const std::shared_ptr<Folder> contactsFolder =
        application.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(10);
    std::array<std::shared_ptr<Folder>, 4> folders;
    for (const CardType::Id id : sampleCardTypes) {
        folders[id] =
            options.layout == ContactStoreOptions::Layout::Folders
                ? subFolder(*contactsFolder, CardType(id).folderName(options.supplierWord))
                : contactsFolder;
    }
    ContactGenerator generator(options);
    for (int index = 0; index < options.contacts; ++index) {
        const CardType type = generator.cardType();
        const std::shared_ptr<ContactItem> item = folders[type.id()]->Items().Add();
        generator.fill(*item, type, index);
        item->Save();
    }
    writeOtherItems(root, options.seed);
    return {options.contacts, 2};
}

} // namespace brindle::samples
