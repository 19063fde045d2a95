#include "ContactItem.h"

#include "FolderContents.h"
#include "platform/ChangeJournal.h"

#include <QUuid>

namespace contacts {

namespace {

bool isGroup(const VCard& card)
{
    for (const VCardProperty& p : card.properties) {
        if (p.name == u"KIND" || p.name == u"X-ADDRESSBOOKSERVER-KIND") {
            const QString kind = p.value.trimmed().toLower();
            return !kind.isEmpty() && kind != u"individual" && kind != u"org";
        }
    }
    return false;
}

} // namespace

ContactItem::ContactItem(const std::shared_ptr<FolderContents>& folder, QString directory)
    : m_folder(folder), m_directory(std::move(directory))
{}

std::shared_ptr<ContactItem> ContactItem::create(const std::shared_ptr<FolderContents>& folder)
{
    std::shared_ptr<ContactItem> item(new ContactItem(folder, folder->directory()));
    item->sequence = -1;
    item->m_changed = true;
    item->m_classified = true;
    item->m_contact = std::make_unique<ContactCard>();
    return item;
}

std::shared_ptr<ContactItem> ContactItem::load(const std::shared_ptr<FolderContents>& folder,
                                               const QString& fileName)
{
    std::shared_ptr<ContactItem> item(new ContactItem(folder, folder->directory()));
    item->m_fileName = fileName;
    return item;
}

// A folder reads each file only when its item is first used, and keeps of
// it what tells a later change, not its bytes.
void ContactItem::classify()
{
    if (m_classified) {
        return;
    }
    m_classified = true;
    QByteArray bytes;
    try {
        FileContents contents = readFile(path());
        remember(contents.bytes, contents.stamp);
        bytes = std::move(contents.bytes);
    } catch (const brindle::PlatformError& error) {
        m_kind = Kind::Unreadable;
        m_problem = error.description();
        return;
    }
    VCard::ParseResult parsed = VCard::parse(bytes);
    if (!parsed.card) {
        m_kind = Kind::Unreadable;
        m_problem = parsed.error;
    } else if (isGroup(*parsed.card)) {
        m_kind = Kind::Group;
        m_problem = QStringLiteral("it is a group card");
    } else {
        m_contact = std::make_unique<ContactCard>(std::move(*parsed.card));
        if (const std::shared_ptr<FolderContents> folder = m_folder.lock()) {
            folder->firstRead(*this, *m_contact);
        }
    }
}

ContactItem::Kind ContactItem::kind()
{
    classify();
    return m_kind;
}

QString ContactItem::problem()
{
    classify();
    return m_problem;
}

QVariant ContactItem::property(const QString& name)
{
    requireContact(name);
    return contact().get(name);
}

void ContactItem::setProperty(const QString& name, const QVariant& value)
{
    requireContact(name);
    m_changed = contact().set(name, value) || m_changed;
}

int ContactItem::Class()
{
    return kind() == Kind::Contact ? ContactClass
           : m_kind == Kind::Group ? DistListClass
                                   : DocumentClass;
}

QString ContactItem::MessageClass()
{
    return kind() == Kind::Contact ? QStringLiteral("IPM.Contact")
           : m_kind == Kind::Group ? QStringLiteral("IPM.DistList")
                                   : QStringLiteral("IPM.Document");
}

QString ContactItem::EntryID()
{
    return kind() == Kind::Contact ? contact().uid() : QString();
}

void ContactItem::requireContact(const QString& name)
{
    if (kind() != Kind::Contact) {
        raiseNoSuchMember(
            QStringLiteral("ContactItem"),
            QStringLiteral("%1 (%2 is not a contact: %3)").arg(name, m_fileName, m_problem));
    }
}

void ContactItem::setUid(const QString& uid)
{
    if (isStored()) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("The UID of a stored contact cannot change"));
    }
    const bool hasControl = std::any_of(uid.cbegin(), uid.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
    if (hasControl) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("A UID may not hold line breaks or control characters"));
    }
    m_uid = uid;
}

void ContactItem::Save()
{
    // Items that are not contacts cannot be changed, so there is never anything to write.
    m_savedChanges = false;
    if (kind() != Kind::Contact || !m_changed) {
        return;
    }
    const std::shared_ptr<FolderContents> folder = m_folder.lock();
    if (isStored()) {
        writeBack();
    } else {
        writeNew(folder);
    }
    m_changed = false;
    m_savedChanges = true;
    if (folder) {
        folder->stored(*this, m_directory + u'/' + m_fileName);
    }
}

void ContactItem::Close(int saveMode)
{
    if (saveMode == olSave) {
        Save();
        return;
    }
    if (saveMode != olDiscard) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Close takes olSave (0) or olDiscard (1), not %1").arg(saveMode));
    }
    if (kind() != Kind::Contact || !m_changed) {
        return;
    }
    if (isStored()) {
        m_changed = false;
        m_contact.reset(); // read again from the file as last read or written
    } else {
        m_contact = std::make_unique<ContactCard>();
    }
}

void ContactItem::copyContactFrom(ContactItem& other)
{
    if (isStored()) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Only a contact not yet saved can take another's properties"));
    }
    other.requireContact(QStringLiteral("copy"));
    VCard card = other.contact().card();
    card.properties.removeIf([](const VCardProperty& p) { return p.name == u"UID"; });
    m_contact = std::make_unique<ContactCard>(std::move(card));
    m_changed = true;
}

void ContactItem::writeNew(const std::shared_ptr<FolderContents>& folder)
{
    const QString uid =
        m_uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : m_uid;
    contact().prepareForSave(uid);
    const QByteArray bytes = contact().card().serialize();
    constexpr int maxNameAttempts = 100;
    // Another program may have made a file of the claimed name since the folder was read.
    for (int attempt = 0; attempt < (folder ? maxNameAttempts : 1); ++attempt) {
        const QString fileName = folder ? folder->claimFileName(uid) : uid + QLatin1String(".vcf");
        if (brindle::ChangeJournal* journal = folder ? folder->unflushed().journal() : nullptr) {
            journal->writingFile(m_directory + u'/' + fileName, std::nullopt, bytes);
        }
        if (const std::optional<FileStamp> stamp =
                createFileAtomically(m_directory + u'/' + fileName, bytes)) {
            remember(bytes, *stamp);
            m_fileName = fileName;
            return;
        }
    }
    raise(brindle::ErrorNumber::Unspecified,
          QStringLiteral("Cannot find a free file name for the contact %1 in %2")
              .arg(uid, m_directory));
}

void ContactItem::writeBack()
{
    if (!isUnchangedOnDisk(path(), m_stamp, m_digest)) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("The contact %1 was changed by another program after it was read; "
                             "it was not saved")
                  .arg(path()));
    }
    contact().prepareForSave(QUuid::createUuid().toString(QUuid::WithoutBraces));
    const QByteArray bytes = contact().card().serialize();
    const std::shared_ptr<FolderContents> folder = m_folder.lock();
    if (brindle::ChangeJournal* journal = folder ? folder->unflushed().journal() : nullptr) {
        journal->writingFile(path(), readFile(path()).bytes, bytes);
    }
    remember(bytes, writeFileAtomically(path(), bytes));
}

void ContactItem::remember(const QByteArray& bytes, const FileStamp& stamp)
{
    m_stamp = stamp;
    m_digest = digestOf(bytes);
}

QByteArray ContactItem::storedBytes() const
{
    const QString file = path();
    try {
        // Size and time tell a change here; Save, the only writer, also
        // compares the content, so a change that keeps both is never written over.
        FileContents contents = readFile(file);
        if (contents.stamp == m_stamp) {
            return std::move(contents.bytes);
        }
    } catch (const brindle::PlatformError& error) {
        if (error.number() == brindle::ErrorNumber::PermissionDenied) {
            throw;
        }
    }
    raise(brindle::ErrorNumber::Unspecified,
          QStringLiteral("The contact %1 was changed or removed by another program after it "
                         "was read")
              .arg(file));
}

ContactCard& ContactItem::contact()
{
    classify();
    if (!m_contact) {
        m_contact =
            std::make_unique<ContactCard>(VCard::parse(storedBytes()).card.value_or(VCard()));
        if (const std::shared_ptr<FolderContents> folder = m_folder.lock()) {
            folder->parsed(*this);
        }
    }
    return *m_contact;
}

ContactCard ContactItem::storedContact()
{
    if (m_contact && !m_changed) {
        return *m_contact;
    }
    return ContactCard(VCard::parse(storedBytes()).card.value_or(VCard()));
}

void ContactItem::releaseParsed()
{
    if (isStored() && !m_changed && m_kind == Kind::Contact) {
        m_contact.reset();
    }
}

} // namespace contacts
