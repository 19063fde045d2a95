#pragma once

#include "Folder.h"

namespace contacts {

// The contact manager's application object. Its folders live under a root
// directory: $BRINDLE_CONTACTS, or ~/.local/share/brindle/contacts.
class Application : public Object
{
public:
    explicit Application(const QString& root = defaultRoot());

    static QString defaultRoot();
    // The version new Application objects report; "16.0.0.0" unless set.
    static void setDefaultVersion(const QString& version);

    QString typeName() const override { return QStringLiteral("Application"); }
    QVariant get(const QString& name) override;
    QVariant call(const QString& name, const QVariantList& args = {}) override;

    QString version() const { return m_store->version; }
    void setVersion(const QString& version) { m_store->version = version; }
    std::shared_ptr<class Namespace> getNamespace(const QString& type);

private:
    std::shared_ptr<Store> m_store;
};

// The "MAPI" namespace: the way to the default contacts folder.
class Namespace : public Object
{
public:
    explicit Namespace(std::shared_ptr<Store> store);

    QString typeName() const override { return QStringLiteral("Namespace"); }
    QVariant get(const QString& name) override;
    QVariant call(const QString& name, const QVariantList& args = {}) override;

    // Folder type 10 only: <root>/Contacts, made when missing.
    std::shared_ptr<Folder> getDefaultFolder(int type);

private:
    std::shared_ptr<Store> m_store;
};

// CreateObject for "Outlook.Application"; raises error 429 for other names.
ObjectPtr createObject(const QString& progId);

} // namespace contacts
