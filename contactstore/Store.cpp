#include "Store.h"

#include "FolderContents.h"

#include <QDir>

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

} // namespace contacts
