#include "Folder.h"

#include "FileIo.h"

#include <QDir>
#include <QFileInfo>

namespace contacts {

namespace {

constexpr int ContactsFolderType = 10;
const QLatin1StringView SettingsFile(".brindle-folder");
const QByteArray ShowKey("ShowAsOutlookAB=");

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

Folder::Folder(std::shared_ptr<Store> store, QString directory)
    : m_store(std::move(store)), m_directory(std::move(directory))
{}

QString Folder::Name() const
{
    return QFileInfo(m_directory).fileName();
}

Items Folder::Items()
{
    return contacts::Items(m_store->contents(m_directory));
}

Folders Folder::Folders()
{
    return contacts::Folders(m_store, m_directory);
}

std::shared_ptr<Folder> Folder::Parent()
{
    if (m_directory == m_store->root()) {
        return nullptr;
    }
    return std::make_shared<Folder>(m_store, QFileInfo(m_directory).path());
}

QString Folder::settingsPath() const
{
    return m_directory + u'/' + SettingsFile;
}

// The marker is an INI file with one key. It is read as any contact file is
// (a FIFO or a huge file in its place reads as unset) and written as one,
// by a temporary file and a rename: a link in its place is replaced, and
// nothing is written where it leads.
bool Folder::ShowAsOutlookAB() const
{
    QByteArray bytes;
    try {
        bytes = readFile(settingsPath()).bytes;
    } catch (const brindle::PlatformError&) {
        return false;
    }
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry.startsWith(ShowKey)) {
            const QByteArray value = entry.sliced(ShowKey.size()).trimmed().toLower();
            return !value.isEmpty() && value != "false" && value != "0";
        }
    }
    return false;
}

// Written only when it changes, so that an export that sets it on every run
// leaves the folder as it was.
void Folder::setShowAsOutlookAB(bool show)
{
    if (show == ShowAsOutlookAB()) {
        return;
    }
    m_store->unflushed().add(settingsPath());
    writeFileAtomically(settingsPath(), "[General]\n" + ShowKey + (show ? "true" : "false") + '\n');
}

Folders::Folders(std::shared_ptr<Store> store, QString directory)
    : m_store(std::move(store)), m_directory(std::move(directory))
{}

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

int Folders::Count() const
{
    return int(names().size());
}

std::shared_ptr<Folder> Folders::Item(int index) const
{
    const QStringList all = names();
    if (index < 1 || index > all.size()) {
        folderNotFound(QString::number(index));
    }
    return folder(all[index - 1]);
}

std::shared_ptr<Folder> Folders::Item(const QString& wanted) const
{
    for (const QString& name : names()) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return folder(name);
        }
    }
    folderNotFound(wanted);
}

std::shared_ptr<Folder> Folders::Add(const QString& name, int type) const
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
    const QString path = m_directory + u'/' + name;
    m_store->makeDirectory(path);
    return folder(name);
}

} // namespace contacts
