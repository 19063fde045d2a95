#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace contacts {

// What a file looked like when the store read or wrote it, to notice a later
// change by another program.
struct FileStamp
{
    qint64 size = -1;
    qint64 modifiedNs = 0;
    QByteArray hash;

    bool operator==(const FileStamp&) const = default;
};

struct FileContents
{
    QByteArray bytes;
    FileStamp stamp;
};

// These raise error 287 when permission is denied and -2147467259 otherwise.
FileContents readFile(const QString& path);
// Writes through a temporary file and a rename, so a reader never sees half a file.
FileStamp writeFileAtomically(const QString& path, const QByteArray& bytes);
bool isUnchangedOnDisk(const QString& path, const FileStamp& stamp);
// Names of the entries of a directory, sorted; directories or regular files only.
QStringList listDirectory(const QString& path, bool directories);
void makeDirectory(const QString& path);

} // namespace contacts
