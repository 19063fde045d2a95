#pragma once

#include "Folder.h"

namespace contacts {

class Namespace;

// The contact manager's application object. Its folders live under a root
// directory: $BRINDLE_CONTACTS, or ~/.local/share/brindle/contacts.
class Application
{
public:
    explicit Application(const QString& root = defaultRoot());

    static QString defaultRoot();

    // "16.0.0.0" unless set.
    QString Version() const { return m_store->version; }
    void setVersion(const QString& version) { m_store->version = version; }
    // "MAPI" only.
    std::shared_ptr<Namespace> GetNamespace(const QString& type);
    std::shared_ptr<Namespace> Session() { return GetNamespace(QStringLiteral("MAPI")); }

    // Makes every contact and folder written through this application since
    // the last flush durable; returns the paths it made durable.
    QStringList Flush() { return m_store->unflushed().flush(); }
    // Told of every file and folder written through this application.
    void setJournal(brindle::ChangeJournal* journal) { m_store->unflushed().setJournal(journal); }

private:
    std::shared_ptr<Store> m_store;
};

// The "MAPI" namespace: the way to the default contacts folder.
class Namespace : public std::enable_shared_from_this<Namespace>
{
public:
    explicit Namespace(std::shared_ptr<Store> store);

    std::shared_ptr<Namespace> Session() { return shared_from_this(); }
    // Folder type 10 only: <root>/Contacts, made when missing.
    std::shared_ptr<Folder> GetDefaultFolder(int type);

private:
    std::shared_ptr<Store> m_store;
};

// CreateObject for "Outlook.Application"; raises error 429 for other names.
std::shared_ptr<Application> createObject(const QString& progId);

} // namespace contacts
