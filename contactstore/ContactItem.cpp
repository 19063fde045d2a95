#include "ContactItem.h"

#include "Items.h"

#include <QUuid>

namespace contacts {

namespace {

// Item classes the clients test for, as the original object model numbers them.
constexpr int ContactClass = 40;
constexpr int DocumentClass = 41;
constexpr int DistListClass = 69;

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
    item->m_contact.emplace();
    return item;
}

std::shared_ptr<ContactItem> ContactItem::load(const std::shared_ptr<FolderContents>& folder,
                                               const QString& fileName)
{
    std::shared_ptr<ContactItem> item(new ContactItem(folder, folder->directory()));
    item->m_fileName = fileName;
    try {
        FileContents contents = readFile(folder->directory() + u'/' + fileName);
        item->m_stamp = contents.stamp;
        VCard::ParseResult parsed = VCard::parse(contents.bytes);
        item->m_bytes = std::move(contents.bytes);
        if (!parsed.card) {
            item->m_kind = Kind::Unreadable;
            item->m_problem = parsed.error;
        } else if (isGroup(*parsed.card)) {
            item->m_kind = Kind::Group;
            item->m_problem = QStringLiteral("it is a group card");
        } else {
            item->m_contact = ContactCard(std::move(*parsed.card));
        }
    } catch (const brindle::PlatformError& error) {
        item->m_kind = Kind::Unreadable;
        item->m_problem = error.description();
    }
    return item;
}

QVariant ContactItem::get(const QString& name)
{
    if (sameName(name, QLatin1StringView("Class"))) {
        return m_kind == Kind::Contact ? ContactClass
               : m_kind == Kind::Group ? DistListClass
                                       : DocumentClass;
    }
    if (sameName(name, QLatin1StringView("MessageClass"))) {
        return m_kind == Kind::Contact ? QStringLiteral("IPM.Contact")
               : m_kind == Kind::Group ? QStringLiteral("IPM.DistList")
                                       : QStringLiteral("IPM.Document");
    }
    if (sameName(name, QLatin1StringView("EntryID"))) {
        return m_kind == Kind::Contact ? contact().uid() : QString();
    }
    requireContact(name);
    return contact().get(name);
}

void ContactItem::set(const QString& name, const QVariant& value)
{
    requireContact(name);
    m_changed = contact().set(name, value) || m_changed;
}

QVariant ContactItem::call(const QString& name, const QVariantList& args)
{
    if (sameName(name, QLatin1StringView("Save")) && args.isEmpty()) {
        save();
        return {};
    }
    return Object::call(name, args);
}

void ContactItem::requireContact(const QString& name) const
{
    if (m_kind != Kind::Contact) {
        raise(brindle::ErrorNumber::NoSuchMember,
              QStringLiteral("Object doesn't support this property or method: %1 (%2 is not a "
                             "contact: %3)")
                  .arg(name, m_fileName, m_problem));
    }
}

void ContactItem::setUid(const QString& uid)
{
    if (isStored()) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("The UID of a stored contact cannot change"));
    }
    m_uid = uid;
}

void ContactItem::save()
{
    // Items that are not contacts cannot be changed, so there is never anything to write.
    if (m_kind != Kind::Contact || !m_changed) {
        return;
    }
    const std::shared_ptr<FolderContents> folder = m_folder.lock();
    if (isStored()) {
        writeBack();
    } else {
        writeNew(folder);
    }
    m_changed = false;
    if (folder) {
        folder->stored(*this);
    }
}

void ContactItem::writeNew(const std::shared_ptr<FolderContents>& folder)
{
    const QString uid =
        m_uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : m_uid;
    contact().prepareForSave(uid);
    const QString fileName = folder ? folder->claimFileName(uid) : uid + QLatin1String(".vcf");
    write(m_directory + u'/' + fileName);
    m_fileName = fileName;
}

void ContactItem::writeBack()
{
    const QString path = m_directory + u'/' + m_fileName;
    if (!isUnchangedOnDisk(path, m_stamp)) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("The contact %1 was changed by another program after it was read; "
                             "it was not saved")
                  .arg(path));
    }
    contact().prepareForSave(QUuid::createUuid().toString(QUuid::WithoutBraces));
    write(path);
}

void ContactItem::write(const QString& path)
{
    QByteArray bytes = contact().card().serialize();
    m_stamp = writeFileAtomically(path, bytes);
    m_bytes = std::move(bytes);
}

ContactCard& ContactItem::contact()
{
    if (!m_contact) {
        VCard::ParseResult parsed = VCard::parse(m_bytes);
        m_contact = ContactCard(parsed.card.value_or(VCard()));
        if (const std::shared_ptr<FolderContents> folder = m_folder.lock()) {
            folder->parsed(*this);
        }
    }
    return *m_contact;
}

void ContactItem::releaseParsed()
{
    if (isStored() && !m_changed && m_kind == Kind::Contact) {
        m_contact.reset();
    }
}

} // namespace contacts
