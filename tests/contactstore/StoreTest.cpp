#include "FileSizeLimit.h"
#include "OrdinaryUser.h"
#include "StoreFixture.h"

#include <QDate>
#include <QFileInfo>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace contacts::test {
namespace {

using namespace brindle;
using brindle::test::FileSizeLimit;

class ContactStore : public StoreFixture
{
protected:
    QString pathOf(const std::shared_ptr<ContactItem>& item) const
    {
        return contactsDir() + u'/' + item->fileName();
    }
};

TEST_F(ContactStore, ErrorNumbersOfBadRequests)
{
    m_contacts->Folders().Add("Existing");
    const auto set = [&](const char* name, const QVariant& value) {
        return [this, name, value] { m_contacts->Items().Add()->setProperty(name, value); };
    };
    const std::tuple<const char*, std::function<void()>, qint64> cases[] = {
        // clang-format off
        {"missing folder", [&] { m_contacts->Folders().Item("Nope"); }, ErrorNumber::NotFound},
        {"folder index out of range", [&] { m_contacts->Folders().Item(5); }, ErrorNumber::NotFound},
        {"other default folder", [&] { m_app.GetNamespace("MAPI")->GetDefaultFolder(6); }, ErrorNumber::NotFound},
        {"unreadable filter", [&] { m_contacts->Items().Find("LastName = Smith"); }, ErrorNumber::CannotParse},
        {"item out of range", [&] { m_contacts->Items().Item(1); }, ErrorNumber::NotFound},
        {"unknown property", [&] { m_contacts->Items().Add()->property("Bogus"); }, ErrorNumber::NoSuchMember},
        {"property in lower case", [&] { m_contacts->Items().Add()->property("firstname"); }, 0},
        {"setting an unknown property", set("NoSuchProperty", "x"), ErrorNumber::NoSuchMember},
        {"birthday of text", set("Birthday", "hello"), ErrorNumber::TypeMismatch},
        {"anniversary of a number", set("Anniversary", 12), ErrorNumber::TypeMismatch},
        {"mailing address out of range", set("SelectedMailingAddress", 7), ErrorNumber::TypeMismatch},
        {"mailing address of text", set("SelectedMailingAddress", "home"), ErrorNumber::TypeMismatch},
        {"UID with a line break", [&] { m_contacts->Items().Add()->setUid("inj\r\nEMAIL:evil@x.org"); }, ErrorNumber::Unspecified},
        {"UID with a control character", [&] { m_contacts->Items().Add()->setUid("a\x1b]0;x\x07"); }, ErrorNumber::Unspecified},
        {"folder name with a slash", [&] { m_contacts->Folders().Add("a/b"); }, ErrorNumber::Unspecified},
        {"hidden folder name", [&] { m_contacts->Folders().Add(".x"); }, ErrorNumber::Unspecified},
        {"folder of mail", [&] { m_contacts->Folders().Add("Mail", 6); }, ErrorNumber::Unspecified},
        {"folder twice", [&] { m_contacts->Folders().Add("EXISTING"); }, ErrorNumber::Unspecified},
        {"folder in another case", [&] { m_contacts->Folders().Item("EXISTING"); }, 0},
        {"item of another type", [&] { m_contacts->Items().Add(1); }, ErrorNumber::Unspecified},
        {"other namespace", [&] { m_app.GetNamespace("XYZ"); }, ErrorNumber::Unspecified},
        {"other program", [&] { createObject("Word.Application"); }, 429},
        // clang-format on
    };
    for (const auto& [what, call, number] : cases) {
        EXPECT_EQ(errorNumberOf(call), number) << what;
    }
}

TEST_F(ContactStore, CloseDiscardsOrSavesTheChanges)
{
    const auto item = addContact(*m_contacts, {{"LastName", "Smith"}, {"User1", "CUS001"}});
    const QByteArray before = readAll(pathOf(item));
    item->setProperty("User1", "CUS002");
    item->Close(1);
    EXPECT_EQ(item->property("User1"), "CUS001");
    item->Save();
    EXPECT_EQ(readAll(pathOf(item)), before) << "nothing is left to write";
    item->setProperty("User1", "CUS003");
    item->Close(0);
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->Items().Item(1)->property("User1"), "CUS003");
    EXPECT_EQ(errorNumberOf([&] { item->Close(2); }), ErrorNumber::Unspecified);
    const auto fresh = m_contacts->Items().Add(2);
    fresh->setProperty("LastName", "Jones");
    fresh->Close(1);
    EXPECT_EQ(fresh->property("LastName"), QString());
    EXPECT_EQ(m_contacts->Items().Count(), 1);
}

// Flush syncs what was saved, made or changed since the last flush, and no more.
TEST_F(ContactStore, FlushMakesDurableWhatWasWrittenSinceTheLastFlush)
{
    EXPECT_EQ(m_app.Flush(), (QStringList{root(), contactsDir()})) << "the default folder was made";
    EXPECT_EQ(m_app.Flush(), QStringList());
    const std::shared_ptr<ContactItem> first = addContact(*m_contacts, {{"LastName", "A"}});
    const std::shared_ptr<Folder> sub = m_contacts->Folders().Add("Sub");
    const std::shared_ptr<ContactItem> second = addContact(*sub, {{"LastName", "B"}});
    const QString subDir = contactsDir() + "/Sub";
    // A marker that leads out of the store is replaced, not written through.
    writeFile(root() + "/outside", "kept");
    QFile::link(root() + "/outside", subDir + "/.brindle-folder");
    sub->setShowAsOutlookAB(true);
    EXPECT_EQ(readAll(root() + "/outside"), "kept");
    EXPECT_TRUE(sub->ShowAsOutlookAB());
    QStringList expected = {contactsDir(), pathOf(first), subDir, subDir + "/.brindle-folder",
                            subDir + u'/' + second->fileName()};
    expected.sort();
    EXPECT_EQ(m_app.Flush(), expected);

    first->setProperty("LastName", "AA");
    first->Save();
    second->Save(); // unchanged: nothing written
    sub->setShowAsOutlookAB(true);
    EXPECT_EQ(m_app.Flush(), (QStringList{contactsDir(), pathOf(first)}));
}

TEST_F(ContactStore, FailedSaveLeavesNeitherTemporaryFileNorTornContact)
{
    const std::shared_ptr<ContactItem> stored = addContact(*m_contacts, {{"LastName", "S"}});
    const QByteArray before = readAll(pathOf(stored));
    const std::shared_ptr<ContactItem> added = m_contacts->Items().Add();
    added->setProperty("LastName", "Jones");
    stored->setProperty("Body", QString(500, u'x'));
    {
        const FileSizeLimit limit;
        EXPECT_EQ(errorNumberOf([&] { stored->Save(); }), ErrorNumber::Unspecified);
        EXPECT_EQ(errorNumberOf([&] { added->Save(); }), ErrorNumber::Unspecified);
    }
    EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Files | QDir::Hidden),
              QStringList{stored->fileName()});
    EXPECT_EQ(readAll(pathOf(stored)), before);
    EXPECT_FALSE(added->isStored());
    stored->Save();
    EXPECT_TRUE(readAll(pathOf(stored)).contains("xxxx"))
        << "the failed Save left the contact in a state it can still be saved from";

    // What a crash in the middle of a Save would leave behind is no item.
    writeFile(contactsDir() + "/." + stored->fileName() + ".1x2y3z.tmp", before.left(20));
    Application reopened(root());
    EXPECT_EQ(defaultFolder(reopened)->Items().Count(), 1);
}

// Neither a file made since the folder was read nor one marked read-only
// (for root too) is overwritten; a writable file keeps its permissions.
TEST_F(ContactStore, SaveNeverReplacesWhatIsNotItsOwnToWrite)
{
    Items items = m_contacts->Items();
    ASSERT_EQ(items.Count(), 0);
    const QByteArray theirs = "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Theirs\r\nEND:VCARD\r\n";
    writeFile(contactsDir() + "/clash.vcf", theirs);
    const std::shared_ptr<ContactItem> item = items.Add();
    item->setUid("clash");
    item->setProperty("LastName", "Ours");
    item->Save();
    EXPECT_EQ(item->fileName(), "clash-2.vcf");
    EXPECT_EQ(readAll(contactsDir() + "/clash.vcf"), theirs);
    EXPECT_TRUE(readAll(pathOf(item)).contains("N:Ours;"));

    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    // Group write is one a usual umask would strip from a new file.
    for (const auto permissions : {readOnly | QFile::WriteOwner | QFile::WriteGroup, readOnly}) {
        const bool writable = permissions & QFile::WriteOwner;
        SCOPED_TRACE(writable);
        ASSERT_TRUE(QFile::setPermissions(pathOf(item), permissions));
        const QFile::Permissions before = QFile::permissions(pathOf(item));
        const QByteArray bytes = readAll(pathOf(item));
        item->setProperty("LastName", writable ? "Smythe" : "Read-only");
        EXPECT_EQ(errorNumberOf([&] { item->Save(); }),
                  writable ? 0 : ErrorNumber::PermissionDenied);
        EXPECT_EQ(QFile::permissions(pathOf(item)), before);
        EXPECT_EQ(readAll(pathOf(item)) == bytes, !writable);
        EXPECT_EQ(QDir(contactsDir()).entryList(QDir::Hidden | QDir::Files).filter(".tmp"),
                  QStringList());
    }
}

// Changed, deleted or in a folder gone since it was read: Save raises and writes nothing.
TEST_F(ContactStore, ContactChangedByAnotherProgramIsNotOverwritten)
{
    std::shared_ptr<ContactItem> item = addContact(*m_contacts, {{"LastName", "Smith"}});
    const QString path = pathOf(item);
    const QDateTime modified = QFileInfo(path).lastModified();
    // Same size and time, other content: only the content tells the change.
    const QByteArray other = readAll(path).replace("Smith", "Jones");
    writeFile(path, other);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(modified, QFileDevice::FileModificationTime));
    item->setProperty("FirstName", "Jo");
    EXPECT_EQ(errorNumberOf([&] { item->Save(); }), ErrorNumber::Unspecified);
    EXPECT_EQ(readAll(path), other);

    QFile::remove(path);
    EXPECT_EQ(errorNumberOf([&] { item->Save(); }), ErrorNumber::Unspecified);
    EXPECT_FALSE(QFileInfo::exists(path)) << "a contact deleted meanwhile is not brought back";

    std::shared_ptr<Folder> gone = m_contacts->Folders().Add("Gone");
    std::shared_ptr<ContactItem> added = gone->Items().Add();
    added->setProperty("LastName", "Smith");
    ASSERT_TRUE(QDir(gone->directory()).removeRecursively());
    EXPECT_EQ(errorNumberOf([&] { added->Save(); }), ErrorNumber::Unspecified);
    EXPECT_FALSE(added->isStored());
}

TEST_F(ContactStore, NonContactItemsAreListedButNeverReadOrWritten)
{
    const QByteArray group = "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Team\r\nEND:VCARD\r\n";
    const QByteArray garbage = QByteArray::fromHex("00ff10c328") + QByteArray(3000, '\x01');
    writeFile(contactsDir() + "/a-group.vcf", group);
    writeFile(contactsDir() + "/b-garbage.vcf", garbage);
    writeFile(contactsDir() + "/notes.txt", "not an item");
    Application app(root());
    addContact(*defaultFolder(app), {{"LastName", "Smith"}, {"User1", "X"}});
    Items items = defaultFolder(app)->Items();
    ASSERT_EQ(items.Count(), 3);
    QStringList classes;
    for (const std::shared_ptr<ContactItem> item : items) {
        classes += item->MessageClass() + u' ' + QString::number(item->Class());
        const qint64 number = errorNumberOf([&] { item->property("LastName"); });
        EXPECT_EQ(number,
                  item->kind() == ContactItem::Kind::Contact ? 0 : ErrorNumber::NoSuchMember);
        EXPECT_EQ(errorNumberOf([&] { item->setProperty("User1", "Y"); }), number);
        item->Save();
    }
    EXPECT_EQ(classes, (QStringList{"IPM.DistList 69", "IPM.Document 41", "IPM.Contact 40"}));
    EXPECT_EQ(readAll(contactsDir() + "/a-group.vcf"), group);
    EXPECT_EQ(readAll(contactsDir() + "/b-garbage.vcf"), garbage);
    EXPECT_EQ(items.Find("[User1] = 'Y'")->property("LastName"), "Smith");
}

// Each takes a listed contact's place after the listing; a file read whole
// instead of refused runs out of the little room left.
TEST_F(ContactStore, WhatIsNoContactFileIsRefusedUnreadAndWithoutWaiting)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"a-fifo", "rm %1 && mkfifo %1", "not a regular file"}, // name, made by, reason
        {"b-huge", "truncate -s 1G %1", "larger than 16777216 bytes"}};
    const auto path = [&](const char* name) { return contactsDir() + u'/' + name + ".vcf"; };
    for (const auto& [name, command, reason] : cases) {
        writeFile(path(name), "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:A\r\nEND:VCARD\r\n");
    }
    Application app(root());
    Items items = defaultFolder(app)->Items();
    ASSERT_EQ(items.Count(), 2);
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    QFile statm("/proc/self/statm");
    statm.open(QIODevice::ReadOnly);
    const rlimit tight{statm.readAll().split(' ')[0].toULongLong() * 4096 + (256 << 20),
                       saved.rlim_max};
    for (int i = 1; i <= 2; ++i) {
        const auto& [name, command, reason] = cases[i - 1];
        ASSERT_EQ(std::system(qPrintable(QString(command).arg(path(name)))), 0);
        setrlimit(RLIMIT_AS, &tight);
        EXPECT_TRUE(items.Item(i)->problem().contains(reason)) << name;
        setrlimit(RLIMIT_AS, &saved);
        EXPECT_EQ(items.Item(i)->kind(), ContactItem::Kind::Unreadable) << name;
    }
}

TEST_F(ContactStore, FileNameThatIsNotUtf8IsReadAndRewrittenUnderItsOwnName)
{
    const std::string name = QFile::encodeName(contactsDir()).toStdString() + "/M\xfcller.vcf";
    std::ofstream(name) << "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:M\r\nN:M;;;;\r\nEND:VCARD\r\n";
    Application app(root());
    std::shared_ptr<ContactItem> item = defaultFolder(app)->Items().Item(1);
    item->setProperty("FirstName", "Jo");
    item->Save();
    std::stringstream saved;
    saved << std::ifstream(name).rdbuf();
    EXPECT_NE(saved.str().find("N:M;Jo;"), std::string::npos) << saved.str();
    EXPECT_EQ(::unlink(name.c_str()), 0);
}

// Root reads past permissions, so as root the refusal is checked as nobody.
TEST_F(ContactStore, UnreadableStoreRaisesPermissionDenied)
{
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(root(), owner | QFile::ReadOther | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(contactsDir(), {}));
    EXPECT_TRUE(brindle::test::asOrdinaryUser([&] {
        Application app(root());
        return errorNumberOf([&] { defaultFolder(app)->Items().Count(); }) ==
               ErrorNumber::PermissionDenied;
    }));
    QFile::setPermissions(contactsDir(), owner);
}

} // namespace
} // namespace contacts::test
