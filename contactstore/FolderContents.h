#pragma once

#include "ContactItem.h"
#include "Filter.h"

#include <QHash>
#include <QSet>
#include <deque>
#include <vector>

namespace contacts {

// The items of one folder, read once and then kept, with an index of each
// property a Find has named, so that a later Find never reads a contact
// again. A property no filter names is never indexed.
class FolderContents : public std::enable_shared_from_this<FolderContents>
{
public:
    FolderContents(QString directory, std::shared_ptr<SyncList> unflushed);

    QString directory() const { return m_directory; }
    SyncList& unflushed() { return *m_unflushed; }
    const std::vector<std::shared_ptr<ContactItem>>& items();
    std::shared_ptr<ContactItem> find(const QString& filter);
    // Indexes the properties Find will name as each item is first read, so
    // that a walk before the first Find spares it a reading of its own.
    void indexAsRead(const QStringList& names);
    // A file name for a new item that no file of the folder had when it was
    // read, nor any item since; Save still refuses to replace a file.
    QString claimFileName(const QString& uid);
    // Called by an item after each Save with the file it wrote.
    void stored(ContactItem& item, const QString& path);
    // Called by an item that parsed its file; the oldest parsed ones are let go.
    void parsed(ContactItem& item);
    // Called by an item that read its file for the first time and is a contact.
    void firstRead(ContactItem& item, const ContactCard& contact);

private:
    using Bucket = std::vector<ContactItem*>;

    void load();
    // Indexes the properties the filter names that are not indexed yet.
    void indexFieldsOf(const Filter& filter);
    void index(const std::vector<int>& fields);
    void addToIndex(ContactItem& item, const ContactCard& contact, const std::vector<int>& fields);
    void removeFromIndex(ContactItem& item);
    std::vector<ContactItem*> candidates(const Filter& filter) const;

    QString m_directory;
    std::shared_ptr<SyncList> m_unflushed;
    bool m_loaded = false;
    bool m_allRead = false;
    std::vector<int> m_indexedFields; // positions in indexedFields()
    qint64 m_nextSequence = 0;
    std::vector<std::shared_ptr<ContactItem>> m_items;
    std::vector<QHash<QString, Bucket>> m_index;
    QSet<QString> m_claimedNames;
    std::deque<ContactItem*> m_recentlyParsed;
};

} // namespace contacts
