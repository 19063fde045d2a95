#include "Application.h"

#include <QStandardPaths>

namespace contacts {

namespace {

constexpr int ContactsFolderType = 10;
constexpr qint64 CannotCreateObject = 429;

} // namespace

Application::Application(const QString& root) : m_store(std::make_shared<Store>(root)) {}

QString Application::defaultRoot()
{
    const QString root = qEnvironmentVariable("BRINDLE_CONTACTS");
    return !root.isEmpty() ? root
                           : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                 QLatin1String("/brindle/contacts");
}

std::shared_ptr<Namespace> Application::GetNamespace(const QString& type)
{
    if (type.compare(u"MAPI", Qt::CaseInsensitive) != 0) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Unknown namespace \"%1\"; only \"MAPI\" exists").arg(type));
    }
    return std::make_shared<Namespace>(m_store);
}

Namespace::Namespace(std::shared_ptr<Store> store) : m_store(std::move(store)) {}

std::shared_ptr<Folder> Namespace::GetDefaultFolder(int type)
{
    if (type != ContactsFolderType) {
        raise(brindle::ErrorNumber::NotFound,
              QStringLiteral("The attempted operation failed. An object could not be found: "
                             "default folder %1")
                  .arg(type));
    }
    const QString directory = m_store->root() + QLatin1String("/Contacts");
    m_store->makeDirectory(directory);
    // A directory that exists but may not be listed is refused here, not later.
    listDirectory(directory, true);
    return std::make_shared<Folder>(m_store, directory);
}

std::shared_ptr<Application> createObject(const QString& progId)
{
    if (progId.compare(u"Outlook.Application", Qt::CaseInsensitive) != 0) {
        raise(CannotCreateObject,
              QStringLiteral("ActiveX component can't create object: %1").arg(progId));
    }
    return std::make_shared<Application>();
}

} // namespace contacts
