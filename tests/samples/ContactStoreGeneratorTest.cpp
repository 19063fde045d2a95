#include "samples/ContactStoreGenerator.h"

#include "platform/PlatformError.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brindle::samples;

namespace {

// Every file of a tree with its bytes, by path below the root.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(path.mid(root.size()), file.readAll());
    }
    return files;
}

// The first value of each property of the contacts of one folder, read from
// the files as another program would; items that are no contact are left out.
QList<QHash<QString, QString>> contactsIn(const QString& folder)
{
    QList<QHash<QString, QString>> found;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        QFile file(folder + u'/' + name);
        file.open(QIODevice::ReadOnly);
        QHash<QString, QString> properties;
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"))) {
            const qsizetype colon = line.indexOf(u':');
            const QString property = line.left(colon).section(u';', 0, 0);
            if (colon > 0 && !properties.contains(property)) {
                properties.insert(property, line.mid(colon + 1));
            }
        }
        if (properties.value(QStringLiteral("END")) == QLatin1String("VCARD") &&
            !properties.contains(QStringLiteral("KIND"))) {
            found << properties;
        }
    }
    return found;
}

class ContactStoreGenerator : public ::testing::Test
{
protected:
    QString sub(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

    QTemporaryDir m_dir;
};

TEST_F(ContactStoreGenerator, SameSeedGivesTheSameStoreAndAnotherSeedAnother)
{
    ContactStoreOptions options;
    options.contacts = 40;
    options.seed = 7;
    writeContactStore(sub("a"), options);
    writeContactStore(sub("b"), options);
    options.seed = 8;
    writeContactStore(sub("c"), options);
    const auto a = snapshot(sub("a"));
    EXPECT_EQ(a.size(), 40 + 2);
    EXPECT_EQ(a, snapshot(sub("b")));
    EXPECT_NE(a.keys(), snapshot(sub("c")).keys()) << "UIDs, so file names, follow the seed";
}

TEST_F(ContactStoreGenerator, FoldersLayoutFillsTheCardTypeFoldersOfTheSupplierWord)
{
    struct Case
    {
        const char* supplierWord;
        const char* supplierFolder;
        const char* supplierLink;
    };
    const Case cases[] = {{"Supplier", "VEXO Suppliers", "VEXOS"},
                          {"Vendor", "VEXO Vendors", "VEXOV"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.supplierWord);
        ContactStoreOptions options;
        options.contacts = 120;
        options.supplierWord = QLatin1String(c.supplierWord);
        const QString root = sub(c.supplierWord);
        writeContactStore(root, options);
        int total = 0;
        for (const char* name :
             {"VEXO Customers", c.supplierFolder, "VEXO Employees", "VEXO Personal"}) {
            const auto contacts = contactsIn(root + QStringLiteral("/Contacts/") + name);
            EXPECT_GT(contacts.size(), 0) << name;
            total += int(contacts.size());
            for (const auto& contact : contacts) {
                EXPECT_FALSE(contact.value(QStringLiteral("FN")).isEmpty()) << name;
            }
        }
        EXPECT_EQ(total, 120);
        const auto suppliers = contactsIn(root + QStringLiteral("/Contacts/") + c.supplierFolder);
        const bool linked = std::any_of(suppliers.begin(), suppliers.end(), [&](const auto& s) {
            return s.value(QStringLiteral("X-BRINDLE-USER2")) == QLatin1String(c.supplierLink);
        });
        EXPECT_TRUE(linked) << "a supplier carries the link of an earlier export";
        EXPECT_EQ(QDir(root + QStringLiteral("/Contacts")).entryList(QDir::Files).size(), 2)
            << "the group and the damaged file";
    }
}

TEST_F(ContactStoreGenerator, CategoriesLayoutTellsTheTypeByCategory)
{
    ContactStoreOptions options;
    options.contacts = 60;
    options.layout = ContactStoreOptions::Layout::Categories;
    writeContactStore(m_dir.path(), options);
    const QString folder = m_dir.filePath(QStringLiteral("Contacts"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    int ownCategories = 0;
    int companies = 0;
    const auto contacts = contactsIn(folder);
    for (const auto& contact : contacts) {
        const QStringList words = contact.value(QStringLiteral("CATEGORIES")).split(u',');
        EXPECT_TRUE(
            QStringList({"Customer", "Supplier", "Employee", "Personal"}).contains(words.first()))
            << words.join(u',').toStdString();
        ownCategories += words.size() > 1;
        companies += contact.contains(QStringLiteral("ORG"));
    }
    EXPECT_EQ(contacts.size(), 60);
    EXPECT_GT(ownCategories, 0);
    EXPECT_GT(companies, 0);
}

TEST_F(ContactStoreGenerator, WrongRootsAndCountsAreRefused)
{
    ContactStoreOptions tooMany;
    tooMany.contacts = maxSampleContacts + 1;
    ContactStoreOptions negative;
    negative.contacts = -1;
    const std::pair<QString, ContactStoreOptions> cases[] = {
        {QString(), ContactStoreOptions()}, {sub("many"), tooMany}, {sub("negative"), negative}};
    for (const auto& [root, options] : cases) {
        EXPECT_THROW(writeContactStore(root, options), brindle::PlatformError);
    }
    EXPECT_TRUE(QDir(m_dir.path()).isEmpty());
}

} // namespace
