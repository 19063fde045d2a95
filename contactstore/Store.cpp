#include "Store.h"

#include "FolderContents.h"
#include "platform/ChangeJournal.h"

#include <QDir>
#include <QFileInfo>

namespace contacts {

Store::Store(QString root) : m_root(QDir::cleanPath(root)) {}

std::shared_ptr<FolderContents> Store::contents(const QString& directory)
{
    std::shared_ptr<FolderContents>& contents = m_contents[directory];
    if (!contents) {
        contents = std::make_shared<FolderContents>(directory, m_unflushed);
    }
    return contents;
}

bool Store::makeDirectory(const QString& path)
{
    if (m_unflushed->journal() && !QFileInfo::exists(path)) {
        m_unflushed->journal()->makingDirectory(path);
    }
    if (!contacts::makeDirectory(path)) {
        return false;
    }
    m_unflushed->add(path);
    return true;
}

} // namespace contacts
