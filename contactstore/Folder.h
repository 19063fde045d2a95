#pragma once

#include "Items.h"
#include "Store.h"

namespace contacts {

class Folder;

// Folder.Folders: the sub-folders, by name or 1-based position.
class Folders
{
public:
    Folders(std::shared_ptr<Store> store, QString directory);

    int Count() const;
    // Case-blind; &H8004010F when there is no such folder.
    std::shared_ptr<Folder> Item(const QString& name) const;
    std::shared_ptr<Folder> Item(int index) const;
    // Only contacts folders (type 10) can be made.
    std::shared_ptr<Folder> Add(const QString& name, int type = 10) const;

    ItemIterator<Folders> begin() const { return {*this, 1}; }
    ItemIterator<Folders> end() const { return {*this, Count() + 1}; }

private:
    QStringList names() const;
    std::shared_ptr<Folder> folder(const QString& name) const;

    std::shared_ptr<Store> m_store;
    QString m_directory;
};

// A contacts folder: one directory; its sub-folders are its sub-directories.
// The store's root is the folder above the default contacts folder.
class Folder
{
public:
    Folder(std::shared_ptr<Store> store, QString directory);

    QString Name() const;
    // Both are light handles on the folder, returned by value so that a For
    // Each over a returned collection keeps it alive.
    contacts::Items Items();
    contacts::Folders Folders();
    // The folder above; null for the store's root.
    std::shared_ptr<Folder> Parent();
    bool ShowAsOutlookAB() const;
    void setShowAsOutlookAB(bool show);

    QString directory() const { return m_directory; }

private:
    QString settingsPath() const;

    std::shared_ptr<Store> m_store;
    QString m_directory;
};

} // namespace contacts
