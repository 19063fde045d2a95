#include "Application.h"

#include <QDir>
#include <QStandardPaths>

namespace contacts {

namespace {

constexpr int ContactsFolderType = 10;
constexpr qint64 CannotCreateObject = 429;

QString& defaultVersion()
{
    static QString version = QStringLiteral("16.0.0.0");
    return version;
}

} // namespace

Application::Application(const QString& root) : m_store(std::make_shared<Store>(root))
{
    m_store->version = defaultVersion();
}

QString Application::defaultRoot()
{
    const QString fromEnvironment = qEnvironmentVariable("BRINDLE_CONTACTS");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/brindle/contacts");
}

void Application::setDefaultVersion(const QString& version)
{
    defaultVersion() = version;
}

QVariant Application::get(const QString& name)
{
    if (sameName(name, QLatin1StringView("Version"))) {
        return version();
    }
    if (sameName(name, QLatin1StringView("Name"))) {
        return QStringLiteral("Brindle contact store");
    }
    if (sameName(name, QLatin1StringView("Session"))) {
        return wrap(getNamespace(QStringLiteral("MAPI")));
    }
    noSuchMember(name);
}

QVariant Application::call(const QString& name, const QVariantList& args)
{
    if (sameName(name, QLatin1StringView("GetNamespace")) && args.size() == 1) {
        return wrap(getNamespace(args[0].toString()));
    }
    return Object::call(name, args);
}

std::shared_ptr<Namespace> Application::getNamespace(const QString& type)
{
    if (type.compare(u"MAPI", Qt::CaseInsensitive) != 0) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Unknown namespace \"%1\"; only \"MAPI\" exists").arg(type));
    }
    return std::make_shared<Namespace>(m_store);
}

Namespace::Namespace(std::shared_ptr<Store> store) : m_store(std::move(store)) {}

QVariant Namespace::get(const QString& name)
{
    if (sameName(name, QLatin1StringView("Session"))) {
        return wrap(shared_from_this());
    }
    noSuchMember(name);
}

QVariant Namespace::call(const QString& name, const QVariantList& args)
{
    if (sameName(name, QLatin1StringView("GetDefaultFolder")) && args.size() == 1) {
        bool ok = false;
        const int type = args[0].toInt(&ok);
        return wrap(getDefaultFolder(ok ? type : -1));
    }
    return Object::call(name, args);
}

std::shared_ptr<Folder> Namespace::getDefaultFolder(int type)
{
    if (type != ContactsFolderType) {
        raise(brindle::ErrorNumber::NotFound,
              QStringLiteral("The attempted operation failed. An object could not be found: "
                             "default folder %1")
                  .arg(type));
    }
    const QString directory = m_store->root() + QLatin1String("/Contacts");
    makeDirectory(directory);
    // A directory that exists but may not be listed is refused here, not later.
    listDirectory(directory, true);
    return std::make_shared<Folder>(m_store, directory);
}

ObjectPtr createObject(const QString& progId)
{
    if (progId.compare(u"Outlook.Application", Qt::CaseInsensitive) != 0) {
        raise(CannotCreateObject,
              QStringLiteral("ActiveX component can't create object: %1").arg(progId));
    }
    return std::make_shared<Application>();
}

} // namespace contacts
