#pragma once

#include "Items.h"

namespace contacts {

// What every object of one Application shares: the root directory, the
// reported version and the contents of each folder read so far.
class Store
{
public:
    explicit Store(QString root);

    QString root() const { return m_root; }
    QString version;
    std::shared_ptr<FolderContents> contents(const QString& directory);

private:
    QString m_root;
    QHash<QString, std::shared_ptr<FolderContents>> m_contents;
};

class Folders;

// A contacts folder: one directory; its sub-folders are its sub-directories.
class Folder : public Object
{
public:
    Folder(std::shared_ptr<Store> store, QString directory);

    QString typeName() const override { return QStringLiteral("Folder"); }
    QVariant get(const QString& name) override;
    void set(const QString& name, const QVariant& value) override;

    QString name() const;
    QString directory() const { return m_directory; }
    std::shared_ptr<Items> items();
    std::shared_ptr<Folders> folders();
    // The folder above, or the namespace for the top folder of the store.
    ObjectPtr parent();
    bool showAsAddressBook() const;
    void setShowAsAddressBook(bool show);

private:
    QString settingsPath() const;

    std::shared_ptr<Store> m_store;
    QString m_directory;
};

// Folder.Folders: the sub-folders, by name or 1-based position.
class Folders : public Object
{
public:
    Folders(std::shared_ptr<Store> store, QString directory);

    QString typeName() const override { return QStringLiteral("Folders"); }
    QVariant get(const QString& name) override;
    QVariant call(const QString& name, const QVariantList& args = {}) override;
    QList<ObjectPtr> elements() override;

    int count() const;
    // Raises &H8004010F when there is no such folder.
    std::shared_ptr<Folder> item(const QVariant& nameOrIndex);
    // Only contacts folders (type 10) can be made.
    std::shared_ptr<Folder> add(const QString& name, int type = 10);

private:
    QStringList names() const;
    std::shared_ptr<Folder> folder(const QString& name) const;

    std::shared_ptr<Store> m_store;
    QString m_directory;
};

} // namespace contacts
