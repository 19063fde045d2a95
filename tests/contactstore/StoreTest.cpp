#include "FileSizeLimit.h"
#include "StoreFixture.h"

#include <QFileInfo>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace contacts::test {
namespace {

using namespace brindle;
using brindle::test::FileSizeLimit;

class ContactStore : public StoreFixture
{};

TEST_F(ContactStore, ErrorNumbersOfBadRequests)
{
    Application app(root());
    const std::shared_ptr<Folder> contacts = defaultFolder(app);
    contacts->Folders().Add(QStringLiteral("Existing"));
    const struct
    {
        const char* what;
        std::function<void()> call;
        qint64 number;
    } cases[] = {
        {"missing folder", [&] { contacts->Folders().Item(QStringLiteral("Nope")); },
         ErrorNumber::NotFound},
        {"folder index out of range", [&] { contacts->Folders().Item(5); }, ErrorNumber::NotFound},
        {"other default folder",
         [&] { app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(6); },
         ErrorNumber::NotFound},
        {"unreadable filter", [&] { contacts->Items().Find(QStringLiteral("LastName = Smith")); },
         ErrorNumber::CannotParse},
        {"item out of range", [&] { contacts->Items().Item(1); }, ErrorNumber::NotFound},
        {"unknown contact property",
         [&] { contacts->Items().Add()->property(QStringLiteral("Bogus")); },
         ErrorNumber::NoSuchMember},
        {"UID with a line break",
         [&] { contacts->Items().Add()->setUid(QStringLiteral("inj\r\nEMAIL:evil@x.org")); },
         ErrorNumber::Unspecified},
        {"UID with a control character",
         [&] { contacts->Items().Add()->setUid(QStringLiteral("a\x1b]0;x\x07")); },
         ErrorNumber::Unspecified},
        {"folder name with a slash", [&] { contacts->Folders().Add(QStringLiteral("a/b")); },
         ErrorNumber::Unspecified},
        {"hidden folder name", [&] { contacts->Folders().Add(QStringLiteral(".x")); },
         ErrorNumber::Unspecified},
        {"folder of mail", [&] { contacts->Folders().Add(QStringLiteral("Mail"), 6); },
         ErrorNumber::Unspecified},
        {"folder twice", [&] { contacts->Folders().Add(QStringLiteral("EXISTING")); },
         ErrorNumber::Unspecified},
        {"folder in another case", [&] { contacts->Folders().Item(QStringLiteral("EXISTING")); },
         0},
        {"item of another type", [&] { contacts->Items().Add(1); }, ErrorNumber::Unspecified},
        {"other namespace", [&] { app.GetNamespace(QStringLiteral("XYZ")); },
         ErrorNumber::Unspecified},
        {"other program", [&] { createObject(QStringLiteral("Word.Application")); }, 429},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(errorNumberOf(c.call), c.number) << c.what;
    }
}

// The export's comparison fills contacts it never saves: they must leave
// no trace, now or later.
TEST_F(ContactStore, ScratchContactIsNeverAnItem)
{
    Application app(root());
    const std::shared_ptr<Folder> folder = defaultFolder(app);
    addContact(*folder, {{"LastName", "Smith"}, {"User1", "CUS001"}});
    app.Flush();
    {
        const std::shared_ptr<ContactItem> scratch = folder->Items().Add(2);
        scratch->setProperty(QStringLiteral("LastName"), QStringLiteral("Smith"));
        scratch->setProperty(QStringLiteral("User1"), QStringLiteral("CUS001"));
        scratch->setProperty(QStringLiteral("User3"), QStringLiteral("SCRATCH"));
        EXPECT_EQ(folder->Items().Count(), 1);
    }
    Items items = folder->Items();
    EXPECT_EQ(items.Count(), 1);
    int walked = 0;
    for (const std::shared_ptr<ContactItem> item : items) {
        EXPECT_NE(item->property(QStringLiteral("User3")), QStringLiteral("SCRATCH"));
        ++walked;
    }
    EXPECT_EQ(walked, 1);
    EXPECT_FALSE(items.Find(QStringLiteral("[User3] = 'SCRATCH'")));
    EXPECT_TRUE(items.Find(QStringLiteral("[User1] = 'CUS001'"))->isStored());
    EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_EQ(app.Flush(), QStringList()) << "nothing was written";
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->Items().Count(), 1);
}

TEST_F(ContactStore, CloseDiscardsOrSavesTheChanges)
{
    Application app(root());
    const std::shared_ptr<Folder> folder = defaultFolder(app);
    const auto item = addContact(*folder, {{"LastName", "Smith"}, {"User1", "CUS001"}});
    const QString path = contactsDir() + u'/' + item->fileName();
    const QByteArray before = readAll(path);
    item->setProperty(QStringLiteral("User1"), QStringLiteral("CUS002"));
    item->Close(1);
    EXPECT_EQ(item->property(QStringLiteral("User1")), QStringLiteral("CUS001"));
    item->Save();
    EXPECT_EQ(readAll(path), before) << "nothing is left to write";
    item->setProperty(QStringLiteral("User1"), QStringLiteral("CUS003"));
    item->Close(0);
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->Items().Item(1)->property(QStringLiteral("User1")),
              QStringLiteral("CUS003"));
    EXPECT_EQ(errorNumberOf([&] { item->Close(2); }), ErrorNumber::Unspecified);
    const auto fresh = folder->Items().Add(2);
    fresh->setProperty(QStringLiteral("LastName"), QStringLiteral("Jones"));
    fresh->Close(1);
    EXPECT_EQ(fresh->property(QStringLiteral("LastName")), QString());
    EXPECT_EQ(folder->Items().Count(), 1);
}

// Flush syncs what was saved, made or changed since the last flush, and no more.
TEST_F(ContactStore, FlushMakesDurableWhatWasWrittenSinceTheLastFlush)
{
    Application app(root());
    const std::shared_ptr<Folder> contacts = defaultFolder(app);
    EXPECT_EQ(app.Flush(), (QStringList{root(), contactsDir()})) << "the default folder was made";
    EXPECT_EQ(app.Flush(), QStringList());
    const std::shared_ptr<ContactItem> first = addContact(*contacts, {{"LastName", "A"}});
    const std::shared_ptr<Folder> sub = contacts->Folders().Add(QStringLiteral("Sub"));
    const std::shared_ptr<ContactItem> second = addContact(*sub, {{"LastName", "B"}});
    const QString subDir = contactsDir() + QStringLiteral("/Sub");
    // A marker that leads out of the store is replaced, not written through.
    writeFile(root() + QStringLiteral("/outside"), "kept");
    QFile::link(root() + QStringLiteral("/outside"), subDir + QStringLiteral("/.brindle-folder"));
    sub->setShowAsOutlookAB(true);
    EXPECT_EQ(readAll(root() + QStringLiteral("/outside")), "kept");
    EXPECT_TRUE(sub->ShowAsOutlookAB());
    QStringList expected = {contactsDir(), contactsDir() + u'/' + first->fileName(), subDir,
                            subDir + QStringLiteral("/.brindle-folder"),
                            subDir + u'/' + second->fileName()};
    expected.sort();
    EXPECT_EQ(app.Flush(), expected);

    first->setProperty(QStringLiteral("LastName"), QStringLiteral("AA"));
    first->Save();
    second->Save(); // unchanged: nothing written
    sub->setShowAsOutlookAB(true);
    EXPECT_EQ(app.Flush(), (QStringList{contactsDir(), contactsDir() + u'/' + first->fileName()}));
}

TEST_F(ContactStore, FailedSaveLeavesNeitherTemporaryFileNorTornContact)
{
    Application app(root());
    const std::shared_ptr<ContactItem> stored =
        addContact(*defaultFolder(app), {{"LastName", "Smith"}});
    const QByteArray before = readAll(contactsDir() + u'/' + stored->fileName());
    const std::shared_ptr<ContactItem> added = defaultFolder(app)->Items().Add();
    added->setProperty(QStringLiteral("LastName"), QStringLiteral("Jones"));
    stored->setProperty(QStringLiteral("Body"), QString(500, u'x'));
    {
        const FileSizeLimit limit;
        EXPECT_EQ(errorNumberOf([&] { stored->Save(); }), ErrorNumber::Unspecified);
        EXPECT_EQ(errorNumberOf([&] { added->Save(); }), ErrorNumber::Unspecified);
    }
    EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList{stored->fileName()});
    EXPECT_EQ(readAll(contactsDir() + u'/' + stored->fileName()), before);
    EXPECT_FALSE(added->isStored());
    stored->Save();
    EXPECT_TRUE(readAll(contactsDir() + u'/' + stored->fileName()).contains("xxxx"))
        << "the failed Save left the contact in a state it can still be saved from";

    // What a crash in the middle of a Save would leave behind is no item.
    writeFile(contactsDir() + u'/' + u'.' + stored->fileName() + QStringLiteral(".1x2y3z.tmp"),
              before.left(20));
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->Items().Count(), 1);
}

TEST_F(ContactStore, NewContactNeverReplacesAFileMadeSinceTheFolderWasRead)
{
    Application app(root());
    Items items = defaultFolder(app)->Items();
    ASSERT_EQ(items.Count(), 0);
    const QByteArray theirs = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Theirs\r\nEND:VCARD\r\n";
    writeFile(contactsDir() + QStringLiteral("/clash.vcf"), theirs);
    const std::shared_ptr<ContactItem> item = items.Add();
    item->setUid(QStringLiteral("clash"));
    item->setProperty(QStringLiteral("LastName"), QStringLiteral("Ours"));
    item->Save();
    EXPECT_EQ(item->fileName(), QStringLiteral("clash-2.vcf"));
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/clash.vcf")), theirs);
    EXPECT_TRUE(readAll(contactsDir() + QStringLiteral("/clash-2.vcf")).contains("N:Ours;"));
}

// A file another program marked read-only stays so, for root too.
TEST_F(ContactStore, RewriteKeepsAWritableFilesPermissionsAndRefusesAReadOnlyFile)
{
    const struct
    {
        const char* name;
        QFile::Permissions permissions;
        qint64 error;
    } rows[] = {
        // Group write is one a usual umask would strip from a new file.
        {"owner and group write",
         QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup, 0},
        {"read-only", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther,
         ErrorNumber::PermissionDenied},
    };
    for (const auto& row : rows) {
        Application app(root());
        const std::shared_ptr<ContactItem> item =
            addContact(*defaultFolder(app), {{"LastName", "Smith"}});
        const QString path = contactsDir() + u'/' + item->fileName();
        ASSERT_TRUE(QFile::setPermissions(path, row.permissions));
        const QFile::Permissions permissions = QFile::permissions(path);
        const QByteArray before = readAll(path);
        item->setProperty(QStringLiteral("LastName"), QStringLiteral("Smythe"));
        EXPECT_EQ(errorNumberOf([&] { item->Save(); }), row.error) << row.name;
        EXPECT_EQ(QFile::permissions(path), permissions) << row.name;
        EXPECT_EQ(readAll(path).contains("Smythe"), row.error == 0) << row.name;
        if (row.error != 0) {
            EXPECT_EQ(readAll(path), before) << row.name;
        }
        EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Hidden | QDir::Files).filter(".tmp"),
                  QStringList())
            << row.name;
    }
}

TEST_F(ContactStore, UnchangedContactIsNotRewritten)
{
    makeDirectory(contactsDir());
    const QString path = contactsDir() + QStringLiteral("/google-3.vcf");
    QFile::copy(QStringLiteral(BRINDLE_TEST_DATA "/google-3.vcf"), path);
    const QByteArray before = readAll(path);
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
    item->setProperty(QStringLiteral("LastName"), QStringLiteral("Nguyen"));
    item->Save();
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
    item->setProperty(QStringLiteral("FirstName"), QStringLiteral("Jo"));
    EXPECT_EQ(errorNumberOf([&] { item->Save(); }), ErrorNumber::Unspecified);
    EXPECT_EQ(readAll(path), other);

    QFile::remove(path);
    EXPECT_EQ(errorNumberOf([&] { item->Save(); }), ErrorNumber::Unspecified);
    EXPECT_FALSE(QFileInfo::exists(path)) << "a contact deleted meanwhile is not brought back";
}

TEST_F(ContactStore, SaveIntoAVanishedFolderRaisesAndWritesNothing)
{
    Application app(root());
    std::shared_ptr<Folder> folder = defaultFolder(app)->Folders().Add(QStringLiteral("Gone"));
    std::shared_ptr<ContactItem> item = folder->Items().Add();
    item->setProperty(QStringLiteral("LastName"), QStringLiteral("Smith"));
    ASSERT_TRUE(QDir(folder->directory()).removeRecursively());
    EXPECT_EQ(errorNumberOf([&] { item->Save(); }), ErrorNumber::Unspecified);
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
    Items items = defaultFolder(app)->Items();
    ASSERT_EQ(items.Count(), 3);
    QStringList classes;
    for (const std::shared_ptr<ContactItem> item : items) {
        classes += item->MessageClass() + u' ' + QString::number(item->Class());
        const qint64 number = errorNumberOf([&] { item->property(QStringLiteral("LastName")); });
        EXPECT_EQ(number,
                  item->kind() == ContactItem::Kind::Contact ? 0 : ErrorNumber::NoSuchMember);
        EXPECT_EQ(
            errorNumberOf([&] { item->setProperty(QStringLiteral("User1"), QStringLiteral("Y")); }),
            number);
        item->Save();
    }
    EXPECT_EQ(classes, (QStringList{"IPM.DistList 69", "IPM.Document 41", "IPM.Contact 40"}));
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/a-group.vcf")), group);
    EXPECT_EQ(readAll(contactsDir() + QStringLiteral("/b-garbage.vcf")), garbage);
    EXPECT_EQ(items.Find(QStringLiteral("[User1] = 'Y'"))->property(QStringLiteral("LastName")),
              QStringLiteral("Smith"));
}

// Each takes a listed contact's place after the listing; a file read whole
// instead of refused runs out of the little room left.
TEST_F(ContactStore, WhatIsNoContactFileIsRefusedUnreadAndWithoutWaiting)
{
    const struct
    {
        const char* name;
        const char* command; // run on the file
        const char* reason;
    } cases[] = {{"a-fifo", "rm %1 && mkfifo %1", "not a regular file"},
                 {"b-huge", "truncate -s 1G %1", "larger than 16777216 bytes"}};
    makeDirectory(contactsDir());
    const auto path = [&](const char* name) { return contactsDir() + u'/' + name + ".vcf"; };
    for (const auto& c : cases) {
        writeFile(path(c.name), "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nEND:VCARD\r\n");
    }
    Application app(root());
    Items items = defaultFolder(app)->Items();
    ASSERT_EQ(items.Count(), 2);
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    const rlimit tight{statm.readAll().split(' ')[0].toULongLong() * 4096 + (256 << 20),
                       saved.rlim_max};
    for (int i = 1; i <= 2; ++i) {
        const auto& c = cases[i - 1];
        ASSERT_EQ(std::system(qPrintable(QString::fromLatin1(c.command).arg(path(c.name)))), 0);
        setrlimit(RLIMIT_AS, &tight);
        EXPECT_TRUE(items.Item(i)->problem().contains(QLatin1String(c.reason))) << c.name;
        setrlimit(RLIMIT_AS, &saved);
        EXPECT_EQ(items.Item(i)->kind(), ContactItem::Kind::Unreadable) << c.name;
    }
}

TEST_F(ContactStore, FileNameThatIsNotUtf8IsReadAndRewrittenUnderItsOwnName)
{
    makeDirectory(contactsDir());
    const std::string name = QFile::encodeName(contactsDir()).toStdString() + "/M\xfcller.vcf";
    std::ofstream(name) << "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:M\r\nN:M;;;;\r\nEND:VCARD\r\n";
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
    item->setProperty(QStringLiteral("FirstName"), QStringLiteral("Jo"));
    item->Save();
    std::stringstream saved;
    saved << std::ifstream(name).rdbuf();
    EXPECT_NE(saved.str().find("N:M;Jo;"), std::string::npos) << saved.str();
    EXPECT_EQ(::unlink(name.c_str()), 0);
}

// Root reads past permissions, so as root the refusal is checked as nobody.
TEST_F(ContactStore, UnreadableStoreRaisesPermissionDenied)
{
    Application setup(root());
    defaultFolder(setup);
    ASSERT_TRUE(QFile::setPermissions(root(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(contactsDir(), {}));
    const auto refused = [&] {
        Application app(root());
        return errorNumberOf([&] { defaultFolder(app)->Items().Count(); }) ==
               ErrorNumber::PermissionDenied;
    };
    if (geteuid() != 0) {
        EXPECT_TRUE(refused());
    } else {
        EXPECT_EXIT(
            {
                if (setgid(65534) != 0 || setuid(65534) != 0) {
                    _exit(2);
                }
                _exit(refused() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
    QFile::setPermissions(contactsDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace contacts::test
