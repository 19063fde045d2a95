#pragma once

#include "FileIo.h"

#include <QHash>
#include <memory>

namespace contacts {

class FolderContents;

// What every object of one Application shares: the root directory, the
// reported version, the contents of each folder read so far and what was
// written since the last flush.
class Store
{
public:
    explicit Store(QString root);

    QString root() const { return m_root; }
    std::shared_ptr<FolderContents> contents(const QString& directory);
    SyncList& unflushed() { return *m_unflushed; }
    // Makes the directory and any missing above it, telling the journal
    // first; true when it had to be made.
    bool makeDirectory(const QString& path);

    QString version = QStringLiteral("16.0.0.0");

private:
    QString m_root;
    QHash<QString, std::shared_ptr<FolderContents>> m_contents;
    std::shared_ptr<SyncList> m_unflushed = std::make_shared<SyncList>();
};

} // namespace contacts
