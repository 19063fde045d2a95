#include "FileSizeLimit.h"
#include "TableFile.h"
#include "cardlib/CardFixture.h"
#include "samples/CompanyFileGenerator.h"
#include "samples/ContactStoreGenerator.h"

#include <QDir>
#include <QDirIterator>

using namespace brindle::samples;
using brindle::PlatformError;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below root with its bytes.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(root.size()), bytesOf(path));
    }
    return files;
}

// The names in a folder, links and special files included.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

TEST(Generators, SameSeedSameOutputOtherSeedOther)
{
    QTemporaryDir dir;
    const auto write = [&](quint32 seed, const QString& name) {
        writeCompanyFile(dir.filePath(name + ".sqlite"), CompanyFileOptions{60, 1, seed, {}},
                         ExistingFile::Keep);
        writeContactStore(dir.filePath(name), {.contacts = 40, .seed = seed});
        return std::pair(bytesOf(dir.filePath(name + ".sqlite")), snapshot(dir.filePath(name)));
    };
    const auto first = write(7, "a");
    EXPECT_EQ(first.second.size(), 40 + 2) << "and a group and a damaged file";
    EXPECT_EQ(write(7, "b"), first);
    const auto other = write(8, "c");
    EXPECT_NE(other.first, first.first);
    EXPECT_NE(other.second.keys(), first.second.keys()) << "UIDs, so file names, follow the seed";
}

// Neither a refused write nor a failed one deletes or leaves a file.
TEST(Generators, CompanyFileReplacesOnlyARegularFile)
{
    QTemporaryDir dir;
    // Every link leads into the folder: a fault that wrote through one would harm nothing else.
    ASSERT_EQ(std::system(qPrintable(
                  "cd '" + dir.path() +
                  "' && touch precious.txt && mkdir folder && mkfifo fifo && "
                  "(mknod device c 1 3 2>/dev/null || mkfifo device) && "
                  "printf 'not made by the generator' >new.sqlite.part && "
                  "for l in precious.txt:to-file folder:to-folder fifo:to-fifo device:to-device "
                  "gone:to-nothing; do ln -s \"$PWD/${l%:*}\" \"${l#*:}\"; done")),
              0);
    for (const QStringList& row : brindle::test::tableRows("company-targets.txt")) {
        SCOPED_TRACE(row.join(" | ").toStdString());
        const QString& name = row[0];
        const bool written = row[2] == u"yes";
        QStringList expected = entries(dir.path());
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        const QByteArray before = QFileInfo(path).isFile() ? bytesOf(path) : QByteArray();
        if (written && !expected.contains(name)) {
            expected << name;
            expected.sort();
        }
        const auto write = [&] {
            brindle::test::FileSizeLimit limit(row[3].isEmpty() ? RLIM_INFINITY : row[3].toULong());
            writeCompanyFile(path, CompanyFileOptions{row[4].toInt(), 1, 1, {}},
                             row[1] == u"keep" ? ExistingFile::Keep : ExistingFile::Replace);
        };
        if (written) {
            EXPECT_NO_THROW(write());
            EXPECT_EQ(RawFile(path).cardCount(), 5);
        } else {
            EXPECT_THROW(write(), PlatformError);
            EXPECT_EQ(QFileInfo(path).isFile() ? bytesOf(path) : QByteArray(), before);
        }
        EXPECT_EQ(entries(dir.path()), expected);
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("to-file")).isSymLink());
    EXPECT_EQ(bytesOf(dir.filePath("new.sqlite.part")), "not made by the generator");
}

TEST(Generators, ContactStoreRefusesWrongRootsAndCounts)
{
    QTemporaryDir dir;
    // clang-format off
    for (const auto& [root, contacts] : {std::pair{QString(), 10}, {dir.filePath("many"), maxSampleContacts + 1},
                                         {dir.filePath("negative"), -1}}) {
        // clang-format on
        EXPECT_THROW(writeContactStore(root, {.contacts = contacts}), PlatformError);
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
