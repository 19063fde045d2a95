#pragma once

#include "ContactItem.h"
#include "Iteration.h"

namespace contacts {

class FolderContents;

// Folder.Items: the items of a folder in the folder's order.
class Items
{
public:
    explicit Items(std::shared_ptr<FolderContents> contents);

    int Count() const;
    // 1-based; &H8004010F out of range.
    std::shared_ptr<ContactItem> Item(int index) const;
    // The first item in the folder's order that matches, or null; &H80020009
    // for a filter it cannot read.
    std::shared_ptr<ContactItem> Find(const QString& filter) const;
    // The properties later Finds will name: indexed as each item is first
    // read, so that a walk over the items spares the first Find reading them again.
    void indexAsRead(const QStringList& names) const;
    // A new contact (item type 2), in the folder only once saved.
    std::shared_ptr<ContactItem> Add(int type = 2) const;

    ItemIterator<Items> begin() const { return {*this, 1}; }
    ItemIterator<Items> end() const { return {*this, Count() + 1}; }

private:
    std::shared_ptr<FolderContents> m_contents;
};

} // namespace contacts
