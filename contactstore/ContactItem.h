#pragma once

#include "ContactCard.h"
#include "Errors.h"
#include "FileIo.h"

#include <memory>

namespace contacts {

class FolderContents;

// An item of a contacts folder: a contact, or a file that holds something else
// (a group card, a file that does not parse). Only contacts answer the
// contact properties, and only contacts are ever written. A new contact is
// no item of its folder until its first Save.
class ContactItem : public std::enable_shared_from_this<ContactItem>
{
public:
    enum class Kind
    {
        Contact,
        Group,
        Unreadable
    };

    // A new contact of the folder, stored on its first Save.
    static std::shared_ptr<ContactItem> create(const std::shared_ptr<FolderContents>& folder);
    // The item one file of the folder holds; never raises. The file is read
    // and parsed when the item is first used.
    static std::shared_ptr<ContactItem> load(const std::shared_ptr<FolderContents>& folder,
                                             const QString& fileName);

    // The contact properties, by the names of the object model, case-blind:
    // 438 for another name or on an item that is not a contact, 13 for a
    // value of the wrong type.
    QVariant property(const QString& name);
    void setProperty(const QString& name, const QVariant& value);
    // Writes the contact when it changed; items that are not contacts never change.
    void Save();
    // True when the last Save wrote the contact, False when nothing had changed.
    bool savedChanges() const { return m_savedChanges; }
    // Ends the editing of the item: olSave saves it, olDiscard drops the
    // changes made since it was last read or saved.
    enum CloseMode
    {
        olSave = 0,
        olDiscard = 1
    };
    void Close(int saveMode);
    // The object model's numbers: ContactClass for a contact, DistListClass
    // for a group, DocumentClass for anything else.
    enum ItemClass
    {
        ContactClass = 40,
        DocumentClass = 41,
        DistListClass = 69
    };
    int Class();
    // "IPM.Contact", "IPM.DistList" or "IPM.Document".
    QString MessageClass();
    // The UID of a contact; empty for other items and unsaved contacts.
    QString EntryID();

    // Before the first Save only: the UID a new contact gets, and its file
    // name. A UID with line breaks or other control characters is refused.
    void setUid(const QString& uid);
    // Before the first Save only: every property of another contact, without
    // its UID, so that a scratch contact can start as a copy of it.
    void copyContactFrom(ContactItem& other);

    Kind kind();
    QString problem();
    QString fileName() const { return m_fileName; }
    bool isStored() const { return !m_fileName.isEmpty(); }
    // Whether the file was read (and the item classified) yet.
    bool isRead() const { return m_classified; }
    // Parsed on demand: a folder keeps only its recently used contacts parsed.
    // One parsed again is read again; when its file's size or time changed,
    // or it vanished, since it was read, this raises -2147467259.
    ContactCard& contact();
    // The contact as last read or saved, without unsaved changes.
    ContactCard storedContact();
    // Drops the parsed form of an unchanged stored contact; its file is read
    // again when it is needed.
    void releaseParsed();

    // The folder's order and the values Find looks at, as last stored: one
    // per indexed property (empty for a property not indexed yet, and none
    // for an item that is no contact).
    qint64 sequence = 0;
    QStringList indexed;

private:
    ContactItem(const std::shared_ptr<FolderContents>& folder, QString directory);
    void classify();
    void requireContact(const QString& name);
    void writeNew(const std::shared_ptr<FolderContents>& folder);
    void writeBack();
    QString path() const { return m_directory + u'/' + m_fileName; }
    // The file as it was last read or written; raises when it is no longer that.
    QByteArray storedBytes() const;
    void remember(const QByteArray& bytes, const FileStamp& stamp);

    std::weak_ptr<FolderContents> m_folder;
    QString m_directory;
    QString m_fileName;
    QString m_uid;
    Kind m_kind = Kind::Contact;
    bool m_classified = false;
    QString m_problem;
    std::unique_ptr<ContactCard> m_contact; // held apart: most items are not parsed
    // The file as last read or written: what tells a change by another program.
    FileStamp m_stamp;
    ContentDigest m_digest{};
    bool m_changed = false;
    bool m_savedChanges = false;
};

} // namespace contacts
