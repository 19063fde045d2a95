#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace brindle {
class ChangeJournal;
}

namespace contacts {

// What a file looked like when the store read or wrote it, to notice a later
// change by another program.
struct FileStamp
{
    qint64 size = -1;
    qint64 modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

// A strong hash of a file's contents: what the store keeps of a file it
// read, in place of its bytes, to tell whether it is still the same file.
using ContentDigest = std::array<char, 32>;

ContentDigest digestOf(const QByteArray& bytes);

struct FileContents
{
    QByteArray bytes;
    FileStamp stamp;
};

// Larger files are not address cards; refusing them keeps memory bounded.
constexpr qsizetype MaxContactFileBytes = 16 * 1024 * 1024;

// A name as the directory gave it, and back: bytes that are not UTF-8 are
// kept as the code points U+DC80 to U+DCFF, so that such a file can still be
// opened, read and rewritten under its own name.
QString nameFromNative(const QByteArray& bytes);
QByteArray nativePath(const QString& path);

// These raise error 287 when permission is denied and -2147467259 otherwise.
// A file that is not a regular one, or larger than MaxContactFileBytes, is
// refused before anything is read.
FileContents readFile(const QString& path);
// Writes through a temporary file and a rename, so a reader never sees half a
// file; the temporary file is removed again when anything fails.
FileStamp writeFileAtomically(const QString& path, const QByteArray& bytes);
// The same for a new file; null, with nothing written, when the name is taken.
std::optional<FileStamp> createFileAtomically(const QString& path, const QByteArray& bytes);
// Whether the file still has the stamp and the contents it was read or written with.
bool isUnchangedOnDisk(const QString& path, const FileStamp& stamp, const ContentDigest& digest);
// Names of the entries of a directory, sorted; directories or regular files only.
QStringList listDirectory(const QString& path, bool directories);
// Makes the directory and any missing above it; true when it had to be made.
bool makeDirectory(const QString& path);

// The files and directories written since the last flush.
class SyncList
{
public:
    // A file or directory made or replaced; its directory changed too.
    void add(const QString& path) { m_paths.insert(path); }
    // Those paths and their directories.
    QStringList paths() const;
    // Told of each write before it is made; none by default.
    void setJournal(brindle::ChangeJournal* journal) { m_journal = journal; }
    brindle::ChangeJournal* journal() const { return m_journal; }
    // Makes them durable with one syncfs per file system that holds them, which
    // costs far less than a sync per file; returns the paths it made durable.
    QStringList flush();

private:
    QSet<QString> m_paths;
    brindle::ChangeJournal* m_journal = nullptr;
};

} // namespace contacts
