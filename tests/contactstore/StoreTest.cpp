#include "FileSizeLimit.h"
#include "StoreFixture.h"

#include <QFileInfo>
#include <sys/wait.h>
#include <unistd.h>

namespace contacts::test {
namespace {

using namespace brindle;
using brindle::test::FileSizeLimit;

class ContactStore : public StoreFixture
{};

// The calls the program makes, all by name, as it makes them.
TEST_F(ContactStore, LateBoundWalkFromApplicationToContact)
{
    const ObjectPtr app = createObject(QStringLiteral("Outlook.Application"));
    ASSERT_TRUE(app);
    std::dynamic_pointer_cast<Application>(app)->setVersion(QStringLiteral("11.0.5510"));
    EXPECT_EQ(app->get(QStringLiteral("Version")), QStringLiteral("11.0.5510"));
    const ObjectPtr ns =
        toObject(toObject(app->call(QStringLiteral("GetNamespace"), {QStringLiteral("MAPI")}))
                     ->get(QStringLiteral("Session")));
    ASSERT_TRUE(ns);
    EXPECT_EQ(ns->typeName(), QStringLiteral("Namespace"));
    qputenv("BRINDLE_CONTACTS", root().toUtf8());
    const ObjectPtr store = createObject(QStringLiteral("outlook.application"));
    qunsetenv("BRINDLE_CONTACTS");
    const ObjectPtr folder =
        toObject(toObject(store->call(QStringLiteral("GetNamespace"), {QStringLiteral("MAPI")}))
                     ->call(QStringLiteral("GetDefaultFolder"), {10}));
    ASSERT_TRUE(QFileInfo(contactsDir()).isDir());
    const ObjectPtr folders = toObject(folder->get(QStringLiteral("Folders")));
    EXPECT_EQ(folders->get(QStringLiteral("Count")), 0);
    const ObjectPtr customers =
        toObject(folders->call(QStringLiteral("Add"), {QStringLiteral("VEXO Customers"), 10}));
    EXPECT_EQ(folders->get(QStringLiteral("Count")), 1);
    EXPECT_EQ(toObject(folders->call(QStringLiteral("Item"), {QStringLiteral("vexo customers")}))
                  ->get(QStringLiteral("Name")),
              QStringLiteral("VEXO Customers"));
    const ObjectPtr items = toObject(customers->get(QStringLiteral("Items")));
    const ObjectPtr contact = toObject(items->call(QStringLiteral("Add"), {2}));
    contact->set(QStringLiteral("LastName"), QStringLiteral("Smith"));
    contact->call(QStringLiteral("Save"));
    EXPECT_EQ(items->get(QStringLiteral("Count")), 1);
    EXPECT_EQ(items->elements().value(0)->get(QStringLiteral("LastName")), QStringLiteral("Smith"));
    const ObjectPtr parent = toObject(customers->get(QStringLiteral("Parent")));
    const ObjectPtr beside = toObject(
        toObject(toObject(parent->get(QStringLiteral("Parent")))->get(QStringLiteral("Folders")))
            ->call(QStringLiteral("Item"), {QStringLiteral("Contacts")}));
    EXPECT_EQ(beside->get(QStringLiteral("Name")), QStringLiteral("Contacts"));
    EXPECT_EQ(vcfFiles(contactsDir() + QStringLiteral("/VEXO Customers")).size(), 1);
}

TEST_F(ContactStore, ErrorNumbersOfBadRequests)
{
    Application app(root());
    const std::shared_ptr<Folder> contacts = defaultFolder(app);
    contacts->folders()->add(QStringLiteral("Existing"));
    const struct
    {
        const char* what;
        std::function<void()> call;
        qint64 number;
    } cases[] = {
        {"missing folder", [&] { contacts->folders()->item(QStringLiteral("Nope")); },
         ErrorNumber::NotFound},
        {"folder index out of range", [&] { contacts->folders()->item(5); }, ErrorNumber::NotFound},
        {"other default folder",
         [&] { app.getNamespace(QStringLiteral("MAPI"))->getDefaultFolder(6); },
         ErrorNumber::NotFound},
        {"unreadable filter", [&] { contacts->items()->find(QStringLiteral("LastName = Smith")); },
         ErrorNumber::CannotParse},
        {"unknown member", [&] { contacts->get(QStringLiteral("Bogus")); },
         ErrorNumber::NoSuchMember},
        {"unknown method", [&] { contacts->call(QStringLiteral("Delete"), {1}); },
         ErrorNumber::NoSuchMember},
        {"read-only member", [&] { contacts->set(QStringLiteral("Name"), 1); },
         ErrorNumber::NoSuchMember},
        {"folder name with a slash", [&] { contacts->folders()->add(QStringLiteral("a/b")); },
         ErrorNumber::Unspecified},
        {"hidden folder name", [&] { contacts->folders()->add(QStringLiteral(".x")); },
         ErrorNumber::Unspecified},
        {"folder of mail", [&] { contacts->folders()->add(QStringLiteral("Mail"), 6); },
         ErrorNumber::Unspecified},
        {"folder twice", [&] { contacts->folders()->add(QStringLiteral("EXISTING")); },
         ErrorNumber::Unspecified},
        {"item of another type", [&] { contacts->items()->add(1); }, ErrorNumber::Unspecified},
        {"other namespace", [&] { app.getNamespace(QStringLiteral("XYZ")); },
         ErrorNumber::Unspecified},
        {"other program", [&] { createObject(QStringLiteral("Word.Application")); }, 429},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorNumberOf(c.call), c.number) << c.what;
    }
}

TEST_F(ContactStore, SaveKeepsUidAndFileNameAndLeavesNoTemporaryFiles)
{
    Application app(root());
    std::shared_ptr<ContactItem> item =
        addContact(*defaultFolder(app), {{"FirstName", "Jo"}, {"LastName", "Smith"}});
    const QString name = item->fileName();
    const QString uid = item->get(QStringLiteral("EntryID")).toString();
    ASSERT_FALSE(uid.isEmpty());
    EXPECT_EQ(name, uid + QStringLiteral(".vcf"));
    item->set(QStringLiteral("LastName"), QStringLiteral("Smythe"));
    item->save();
    EXPECT_EQ(item->fileName(), name);
    EXPECT_EQ(item->get(QStringLiteral("EntryID")), uid);
    EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    EXPECT_TRUE(readAll(contactsDir() + u'/' + name).contains("N:Smythe;Jo;;;"));
}

TEST_F(ContactStore, FailedSaveLeavesNeitherTemporaryFileNorTornContact)
{
    Application app(root());
    const std::shared_ptr<ContactItem> stored =
        addContact(*defaultFolder(app), {{"LastName", "Smith"}});
    const QByteArray before = readAll(contactsDir() + u'/' + stored->fileName());
    const std::shared_ptr<ContactItem> added = defaultFolder(app)->items()->add();
    added->set(QStringLiteral("LastName"), QStringLiteral("Jones"));
    stored->set(QStringLiteral("Body"), QString(500, u'x'));
    {
        const FileSizeLimit limit;
        EXPECT_EQ(errorNumberOf([&] { stored->save(); }), ErrorNumber::Unspecified);
        EXPECT_EQ(errorNumberOf([&] { added->save(); }), ErrorNumber::Unspecified);
    }
    EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList{stored->fileName()});
    EXPECT_EQ(readAll(contactsDir() + u'/' + stored->fileName()), before);
    EXPECT_FALSE(added->isStored());
    stored->save();
    EXPECT_TRUE(readAll(contactsDir() + u'/' + stored->fileName()).contains("xxxx"))
        << "the failed Save left the contact in a state it can still be saved from";

    // What a crash in the middle of a Save would leave behind is no item.
    writeFile(contactsDir() + u'/' + u'.' + stored->fileName() + QStringLiteral(".1x2y3z.tmp"),
              before.left(20));
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->items()->count(), 1);
}

TEST_F(ContactStore, NewContactNeverReplacesAFileMadeSinceTheFolderWasRead)
{
    Application app(root());
    const std::shared_ptr<Items> items = defaultFolder(app)->items();
    ASSERT_EQ(items->count(), 0);
    const QByteArray theirs = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Theirs\r\nEND:VCARD\r\n";
    writeFile(contactsDir() + QStringLiteral("/clash.vcf"), theirs);
    const std::shared_ptr<ContactItem> item = items->add();
    item->setUid(QStringLiteral("clash"));
    item->set(QStringLiteral("LastName"), QStringLiteral("Ours"));
    item->save();
    EXPECT_EQ(item->fileName(), QStringLiteral("clash-2.vcf"));
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/clash.vcf")), theirs);
    EXPECT_TRUE(readAll(contactsDir() + QStringLiteral("/clash-2.vcf")).contains("N:Ours;"));
}

TEST_F(ContactStore, RewrittenContactKeepsItsPermissions)
{
    Application app(root());
    const std::shared_ptr<ContactItem> item =
        addContact(*defaultFolder(app), {{"LastName", "Smith"}});
    const QString path = contactsDir() + u'/' + item->fileName();
    // Group write is one a usual umask would strip from a new file.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadGroup | QFile::WriteGroup));
    const QFile::Permissions before = QFile::permissions(path);
    item->set(QStringLiteral("LastName"), QStringLiteral("Smythe"));
    item->save();
    EXPECT_EQ(QFile::permissions(path), before);
}

TEST_F(ContactStore, UnchangedContactIsNotRewritten)
{
    makeDirectory(contactsDir());
    const QString path = contactsDir() + QStringLiteral("/google-3.vcf");
    QFile::copy(QStringLiteral(BRINDLE_TEST_DATA "/google-3.vcf"), path);
    const QByteArray before = readAll(path);
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->items()->item(1);
    item->set(QStringLiteral("LastName"), QStringLiteral("Nguyen"));
    item->save();
    EXPECT_EQ(readAll(path), before);
}

TEST_F(ContactStore, ContactChangedByAnotherProgramIsNotOverwritten)
{
    Application app(root());
    std::shared_ptr<ContactItem> item = addContact(*defaultFolder(app), {{"LastName", "Smith"}});
    const QString path = contactsDir() + u'/' + item->fileName();
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    // Same size and time, other content: only the content tells the change.
    QByteArray other = readAll(path).replace("Smith", "Jones");
    writeFile(path, other);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(modified, QFileDevice::FileModificationTime);
    file.close();
    item->set(QStringLiteral("FirstName"), QStringLiteral("Jo"));
    EXPECT_EQ(errorNumberOf([&] { item->save(); }), ErrorNumber::Unspecified);
    EXPECT_EQ(readAll(path), other);

    QFile::remove(path);
    EXPECT_EQ(errorNumberOf([&] { item->save(); }), ErrorNumber::Unspecified);
    EXPECT_FALSE(QFileInfo::exists(path)) << "a contact deleted meanwhile is not brought back";
}

TEST_F(ContactStore, SaveIntoAVanishedFolderRaisesAndWritesNothing)
{
    Application app(root());
    std::shared_ptr<Folder> folder = defaultFolder(app)->folders()->add(QStringLiteral("Gone"));
    std::shared_ptr<ContactItem> item = folder->items()->add();
    item->set(QStringLiteral("LastName"), QStringLiteral("Smith"));
    ASSERT_TRUE(QDir(folder->directory()).removeRecursively());
    EXPECT_EQ(errorNumberOf([&] { item->save(); }), ErrorNumber::Unspecified);
    EXPECT_FALSE(item->isStored());
}

TEST_F(ContactStore, NonContactItemsAreListedButNeverReadOrWritten)
{
    makeDirectory(contactsDir());
    const QByteArray group = "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Team\r\nEND:VCARD\r\n";
    const QByteArray garbage = QByteArray::fromHex("00ff10c328") + QByteArray(3000, '\x01');
    writeFile(contactsDir() + QStringLiteral("/a-group.vcf"), group);
    writeFile(contactsDir() + QStringLiteral("/b-garbage.vcf"), garbage);
    writeFile(contactsDir() + QStringLiteral("/notes.txt"), "not an item");
    Application app(root());
    addContact(*defaultFolder(app), {{"LastName", "Smith"}, {"User1", "X"}});
    std::shared_ptr<Items> items = defaultFolder(app)->items();
    ASSERT_EQ(items->count(), 3);
    QStringList classes;
    for (const ObjectPtr& item : items->elements()) {
        classes += item->get(QStringLiteral("MessageClass")).toString();
        const qint64 number = errorNumberOf([&] { item->get(QStringLiteral("LastName")); });
        const auto contact = std::static_pointer_cast<ContactItem>(item);
        EXPECT_EQ(number,
                  contact->kind() == ContactItem::Kind::Contact ? 0 : ErrorNumber::NoSuchMember);
        EXPECT_EQ(errorNumberOf([&] { item->set(QStringLiteral("User1"), QStringLiteral("Y")); }),
                  number);
        item->call(QStringLiteral("Save"));
    }
    EXPECT_EQ(classes, (QStringList{QStringLiteral("IPM.DistList"), QStringLiteral("IPM.Document"),
                                    QStringLiteral("IPM.Contact")}));
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/a-group.vcf")), group);
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/b-garbage.vcf")), garbage);
    EXPECT_EQ(items->find(QStringLiteral("[User1] = 'Y'"))->get(QStringLiteral("LastName")),
              QStringLiteral("Smith"));
}

TEST_F(ContactStore, AddressBookFlagIsKeptOnDisk)
{
    {
        Application app(root());
        std::shared_ptr<Folder> folder = defaultFolder(app)->folders()->add(QStringLiteral("F"));
        EXPECT_FALSE(folder->get(QStringLiteral("ShowAsOutlookAB")).toBool());
        folder->set(QStringLiteral("ShowAsOutlookAB"), true);
    }
    Application app(root());
    const std::shared_ptr<Folders> folders = defaultFolder(app)->folders();
    EXPECT_TRUE(folders->item(QStringLiteral("F"))->showAsAddressBook());
    EXPECT_EQ(folders->count(), 1) << "the flag's file is no folder";
    EXPECT_EQ(folders->item(QStringLiteral("F"))->items()->count(), 0) << "nor an item";
}

// Root reads past permissions, so the refusal is checked as an ordinary user.
TEST_F(ContactStore, UnreadableStoreRaisesPermissionDenied)
{
    Application setup(root());
    defaultFolder(setup);
    QFile::setPermissions(root(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(contactsDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to drop to another user";
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(3);
        }
        Application app(root());
        const qint64 number = errorNumberOf([&] { defaultFolder(app)->items()->count(); });
        _exit(number == ErrorNumber::PermissionDenied ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace contacts::test
