#include "StoreFixture.h"

#include <QDate>
#include <QProcess>
#include <QStandardPaths>

namespace contacts::test {
namespace {

// A second program on the same folder: khard, run with its own config.
class ContactKhard : public StoreFixture
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("khard")).isEmpty()) {
            GTEST_SKIP() << "khard is not on PATH";
        }
        makeDirectory(contactsDir());
    }

    void writeConfig(const char* version)
    {
        writeFile(root() + QStringLiteral("/khard.conf"),
                  "[addressbooks]\n[[store]]\npath = " + contactsDir().toUtf8() +
                      "\n[general]\ndefault_action = list\n[vcard]\npreferred_version = " +
                      version + "\n");
    }

    QString khard(const QStringList& args, const QByteArray& input = {})
    {
        QProcess process;
        process.start(QStringLiteral("khard"),
                      QStringList{QStringLiteral("-c"), root() + QStringLiteral("/khard.conf")} +
                          args);
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

TEST_F(ContactKhard, ListsContactsTheStoreSaved)
{
    writeConfig("4.0");
    Application app(root());
    const std::shared_ptr<Folder> folder = defaultFolder(app);
    const auto person = addContact(*folder, {{"FirstName", QString::fromUtf8("Zoë")},
                                             {"LastName", "O'Neil"},
                                             {"Email1Address", "zoe@example.com"},
                                             {"HomeTelephoneNumber", "(02) 9555 1234"},
                                             {"MobileTelephoneNumber", "0412 345 678"},
                                             {"BusinessFaxNumber", "02 9555 0000"},
                                             {"HomeAddressCity", "Sydney"},
                                             {"Body", "Line one,\r\nline two; end"}});
    addContact(*folder,
               {{"CompanyName", "Acme Traders, The"}, {"BusinessTelephoneNumber", "1300 000 000"}});

    const std::shared_ptr<ContactItem> scratch = folder->Items().Add();
    scratch->setProperty(QStringLiteral("LastName"), QStringLiteral("Scratch"));

    const QString list = khard({QStringLiteral("list")});
    for (const char* expected : {"Zoë O'Neil", "zoe@example.com", "Acme Traders, The"}) {
        EXPECT_TRUE(list.contains(QString::fromUtf8(expected))) << expected << list.toStdString();
    }
    EXPECT_FALSE(list.contains(QStringLiteral("Scratch"))) << "a contact never saved";
    const QString shown = khard({QStringLiteral("show"), QStringLiteral("--format"),
                                 QStringLiteral("yaml"), person->EntryID()});
    for (const char* expected :
         {"First name: Zoë", "Last name: O'Neil", "zoe@example.com", "(02) 9555 1234",
          "cell: 0412 345 678", "02 9555 0000", "City: Sydney", "line two; end"}) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected << shown.toStdString();
    }
}

TEST_F(ContactKhard, StoreReadsAndUpdatesContactsKhardWrote)
{
    const QByteArray yaml = "First name: Zoë\nLast name: O'Neil\nOrganisation: Acme Traders\n"
                            "Phone:\n    cell: 0412 345 678\n    home: (02) 9555 1234\n"
                            "    work, fax: 02 9555 0000\n"
                            "Email:\n    home: zoe@example.com\n"
                            "Address:\n    home:\n        Street: 12 Main St\n"
                            "        Code: \"2000\"\n        City: Sydney\n"
                            "Birthday: 1980-01-31\nCategories:\n    - Friends\n    - Golf\n"
                            "Note: Likes tea, not coffee.\n";
    for (const char* version : {"3.0", "4.0"}) {
        SCOPED_TRACE(version);
        QDir(contactsDir()).removeRecursively();
        makeDirectory(contactsDir());
        writeConfig(version);
        khard({QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("store")}, yaml);
        Application app(root());
        Items items = defaultFolder(app)->Items();
        ASSERT_EQ(items.Count(), 1);
        const std::shared_ptr<ContactItem> item = items.Item(1);
        const QList<std::pair<const char*, QVariant>> expected = {
            {"FirstName", QString::fromUtf8("Zoë")},
            {"LastName", "O'Neil"},
            {"CompanyName", "Acme Traders"},
            {"MobileTelephoneNumber", "0412 345 678"},
            {"HomeTelephoneNumber", "(02) 9555 1234"},
            {"BusinessFaxNumber", "02 9555 0000"},
            {"Email1Address", "zoe@example.com"},
            {"HomeAddressStreet", "12 Main St"},
            {"HomeAddressCity", "Sydney"},
            {"HomeAddressPostalCode", "2000"},
            {"Birthday", QDate(1980, 1, 31)},
            {"Categories", "Friends, Golf"},
            {"Body", "Likes tea, not coffee."}};
        for (const auto& [name, value] : expected) {
            EXPECT_EQ(item->property(QString::fromLatin1(name)), value) << name;
        }
        item->setProperty(QStringLiteral("HomeAddressCity"), QStringLiteral("Newcastle"));
        item->Save();
        const QString shown = khard({QStringLiteral("show"), QStringLiteral("--format"),
                                     QStringLiteral("yaml"), item->EntryID()});
        EXPECT_TRUE(shown.contains(QStringLiteral("City: Newcastle"))) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QStringLiteral("0412 345 678")));
    }
}

} // namespace
} // namespace contacts::test
