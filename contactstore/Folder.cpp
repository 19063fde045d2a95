#include "Folder.h"

#include "Application.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace contacts {

namespace {

constexpr int ContactsFolderType = 10;
const QLatin1StringView SettingsFile(".brindle-folder");

bool isValidFolderName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(u'\\') && !name.contains(QChar(0)) && name.size() <= 200;
}

[[noreturn]] void folderNotFound(const QString& what)
{
    raise(brindle::ErrorNumber::NotFound,
          QStringLiteral("The attempted operation failed. An object could not be found: %1")
              .arg(what));
}

} // namespace

Store::Store(QString root) : m_root(QDir::cleanPath(root)) {}

std::shared_ptr<FolderContents> Store::contents(const QString& directory)
{
    std::shared_ptr<FolderContents>& contents = m_contents[directory];
    if (!contents) {
        contents = std::make_shared<FolderContents>(directory);
    }
    return contents;
}

Folder::Folder(std::shared_ptr<Store> store, QString directory)
    : m_store(std::move(store)), m_directory(std::move(directory))
{}

QVariant Folder::get(const QString& member)
{
    if (sameName(member, QLatin1StringView("Name"))) {
        return name();
    }
    if (sameName(member, QLatin1StringView("Items"))) {
        return wrap(items());
    }
    if (sameName(member, QLatin1StringView("Folders"))) {
        return wrap(folders());
    }
    if (sameName(member, QLatin1StringView("Parent"))) {
        return wrap(parent());
    }
    if (sameName(member, QLatin1StringView("ShowAsOutlookAB"))) {
        return showAsAddressBook();
    }
    if (sameName(member, QLatin1StringView("DefaultItemType"))) {
        return 2;
    }
    if (sameName(member, QLatin1StringView("FolderPath"))) {
        return m_directory;
    }
    noSuchMember(member);
}

void Folder::set(const QString& member, const QVariant& value)
{
    if (!sameName(member, QLatin1StringView("ShowAsOutlookAB"))) {
        noSuchMember(member);
    }
    setShowAsAddressBook(value.toBool());
}

QString Folder::name() const
{
    return QFileInfo(m_directory).fileName();
}

std::shared_ptr<Items> Folder::items()
{
    return std::make_shared<Items>(m_store->contents(m_directory));
}

std::shared_ptr<Folders> Folder::folders()
{
    return std::make_shared<Folders>(m_store, m_directory);
}

ObjectPtr Folder::parent()
{
    if (m_directory == m_store->root()) {
        return std::make_shared<Namespace>(m_store);
    }
    return std::make_shared<Folder>(m_store, QFileInfo(m_directory).path());
}

QString Folder::settingsPath() const
{
    return m_directory + u'/' + SettingsFile;
}

bool Folder::showAsAddressBook() const
{
    if (!QFileInfo::exists(settingsPath())) {
        return false;
    }
    return QSettings(settingsPath(), QSettings::IniFormat)
        .value(QStringLiteral("ShowAsOutlookAB"), false)
        .toBool();
}

void Folder::setShowAsAddressBook(bool show)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("ShowAsOutlookAB"), show);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Cannot write the folder settings %1").arg(settingsPath()));
    }
}

Folders::Folders(std::shared_ptr<Store> store, QString directory)
    : m_store(std::move(store)), m_directory(std::move(directory))
{}

QVariant Folders::get(const QString& member)
{
    if (sameName(member, QLatin1StringView("Count"))) {
        return count();
    }
    noSuchMember(member);
}

QVariant Folders::call(const QString& member, const QVariantList& args)
{
    if (sameName(member, QLatin1StringView("Item")) && args.size() == 1) {
        return wrap(item(args[0]));
    }
    if (sameName(member, QLatin1StringView("Add")) && !args.isEmpty() && args.size() <= 2) {
        return wrap(add(args[0].toString(), args.value(1, ContactsFolderType).toInt()));
    }
    return Object::call(member, args);
}

QList<ObjectPtr> Folders::elements()
{
    QList<ObjectPtr> list;
    for (const QString& name : names()) {
        list += folder(name);
    }
    return list;
}

QStringList Folders::names() const
{
    QStringList names = listDirectory(m_directory, true);
    names.removeIf([](const QString& name) { return name.startsWith(u'.'); });
    return names;
}

std::shared_ptr<Folder> Folders::folder(const QString& name) const
{
    return std::make_shared<Folder>(m_store, m_directory + u'/' + name);
}

int Folders::count() const
{
    return int(names().size());
}

std::shared_ptr<Folder> Folders::item(const QVariant& nameOrIndex)
{
    const QStringList all = names();
    if (nameOrIndex.metaType().id() != QMetaType::QString) {
        bool ok = false;
        const int index = nameOrIndex.toInt(&ok);
        if (!ok || index < 1 || index > all.size()) {
            folderNotFound(nameOrIndex.toString());
        }
        return folder(all[index - 1]);
    }
    const QString wanted = nameOrIndex.toString();
    for (const QString& name : all) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return folder(name);
        }
    }
    folderNotFound(wanted);
}

std::shared_ptr<Folder> Folders::add(const QString& name, int type)
{
    if (type != ContactsFolderType || !isValidFolderName(name)) {
        raise(brindle::ErrorNumber::Unspecified,
              QStringLiteral("Cannot create the folder \"%1\": only contacts folders (type 10) "
                             "with a name that holds no / or \\ and starts with no dot")
                  .arg(name));
    }
    for (const QString& existing : names()) {
        if (existing.compare(name, Qt::CaseInsensitive) == 0) {
            raise(brindle::ErrorNumber::Unspecified,
                  QStringLiteral("Cannot create the folder \"%1\": it exists already").arg(name));
        }
    }
    makeDirectory(m_directory + u'/' + name);
    return folder(name);
}

} // namespace contacts
