#include "contactstore/SampleContacts.h"

#include "StoreFixture.h"

#include <QDirIterator>

namespace contacts::test {
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

class ContactSamples : public StoreFixture
{
protected:
    QString sub(const char* name) const
    {
        return root() + QStringLiteral("/") + QLatin1String(name);
    }
};

TEST_F(ContactSamples, SameSeedGivesTheSameStoreAndAnotherSeedAnother)
{
    SampleOptions options;
    options.contacts = 40;
    options.seed = 7;
    writeSampleContacts(sub("a"), options);
    writeSampleContacts(sub("b"), options);
    options.seed = 8;
    writeSampleContacts(sub("c"), options);
    const auto a = snapshot(sub("a"));
    EXPECT_EQ(a.size(), 40 + 2);
    EXPECT_EQ(a, snapshot(sub("b")));
    EXPECT_NE(a.keys(), snapshot(sub("c")).keys()) << "UIDs, so file names, follow the seed";
}

TEST_F(ContactSamples, FoldersLayoutFillsTheCardTypeFolders)
{
    SampleOptions options;
    options.contacts = 120;
    writeSampleContacts(root(), options);
    Application app(root());
    Folders folders = defaultFolder(app)->Folders();
    int total = 0;
    for (const char* name :
         {"VEXO Customers", "VEXO Suppliers", "VEXO Employees", "VEXO Personal"}) {
        Items items = folders.Item(QString::fromLatin1(name))->Items();
        EXPECT_GT(items.Count(), 0) << name;
        total += items.Count();
        for (const std::shared_ptr<ContactItem> item : items) {
            EXPECT_FALSE(item->property(QStringLiteral("FullName")).toString().isEmpty());
        }
    }
    EXPECT_EQ(total, 120);
    EXPECT_EQ(defaultFolder(app)->Items().Count(), 2) << "the group and the damaged file";
}

TEST_F(ContactSamples, CategoriesLayoutTellsTheTypeByCategory)
{
    SampleOptions options;
    options.contacts = 60;
    options.layout = SampleOptions::Layout::Categories;
    writeSampleContacts(root(), options);
    Application app(root());
    EXPECT_EQ(defaultFolder(app)->Folders().Count(), 0);
    int contacts = 0;
    int ownCategories = 0;
    int companies = 0;
    for (const std::shared_ptr<ContactItem> item : defaultFolder(app)->Items()) {
        if (item->kind() != ContactItem::Kind::Contact) {
            continue;
        }
        ++contacts;
        const QStringList words =
            item->property(QStringLiteral("Categories")).toString().split(QStringLiteral(", "));
        EXPECT_TRUE(
            QStringList({"Customer", "Supplier", "Employee", "Personal"}).contains(words.first()))
            << words.join(u',').toStdString();
        ownCategories += words.size() > 1;
        companies += !item->property(QStringLiteral("CompanyName")).toString().isEmpty();
    }
    EXPECT_EQ(contacts, 60);
    EXPECT_GT(ownCategories, 0);
    EXPECT_GT(companies, 0);
}

} // namespace
} // namespace contacts::test
