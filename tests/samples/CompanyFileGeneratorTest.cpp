#include "samples/CompanyFileGenerator.h"

#include "FileSizeLimit.h"
#include "cardlib/CardFixture.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace TarvoCards;
using namespace brindle::samples;
using brindle::test::FileSizeLimit;

namespace {

// Every stored value of a file, in record order, to compare two files.
QStringList contents(const QString& file)
{
    RawFile raw(file);
    QStringList rows;
    for (const char* table : {"Cards", "Addresses", "Users", "Information"}) {
        QSqlQuery query(raw.db());
        query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(table));
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i) {
                row << query.value(i).toString();
            }
            rows << row.join('|');
        }
    }
    return rows;
}

int count(const QString& file, const QString& condition)
{
    return RawFile(file).value("SELECT count(*) FROM Cards WHERE " + condition).toInt();
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The names in a folder, sorted, joined with "|".
std::string entries(const QString& folder, const QStringList& added = {})
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot) +
                        added;
    names.removeDuplicates();
    names.sort();
    return names.join(u'|').toStdString();
}

} // namespace

TEST(CompanyFileGenerator, SameSeedSameFileOtherSeedOtherFile)
{
    QTemporaryDir dir;
    const auto write = [&](const char* name, quint32 seed) {
        writeCompanyFile(dir.filePath(name), CompanyFileOptions{60, 1, seed, {}},
                         ExistingFile::Keep);
        return contents(dir.filePath(name));
    };
    const QStringList first = write("a.sqlite", 7);
    EXPECT_EQ(write("b.sqlite", 7), first);
    EXPECT_NE(write("c.sqlite", 8), first);
}

TEST(CompanyFileGenerator, FileIsVariedAndRealistic)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("sample.sqlite");
    // More cards than one batch, so names stay unique across batches.
    writeCompanyFile(file, CompanyFileOptions{4500, 1, 3, {}}, ExistingFile::Keep);
    EXPECT_EQ(count(file, "1"), 4500);
    for (const char* type : {"C", "S", "E", "P"}) {
        EXPECT_GT(count(file, QStringLiteral("CardTypeID = '%1'").arg(type)), 0) << type;
    }
    const char* const present[] = {"IsIndividual = 'Y'",
                                   "IsIndividual = 'N'",
                                   "IsInactive = 'Y'",
                                   "Notes <> ''",
                                   "Identifiers <> ''",
                                   "CardIdentification LIKE 'CUS%'",
                                   "CustomField1 LIKE '__/__/____'",
                                   "LastName LIKE '%''%' OR LastName LIKE '%&%'",
                                   "LastName || FirstName GLOB '*[^ -~]*'"};
    for (const char* condition : present) {
        EXPECT_GT(count(file, condition), 0) << condition;
    }
    EXPECT_EQ(count(file, "(SELECT count(*) FROM Addresses a WHERE a.CardRecordID = "
                          "Cards.CardRecordID) < 2"),
              0);
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT count(*) FROM (SELECT DISTINCT CardTypeID, IsIndividual, "
                        "LastName, FirstName FROM Cards)")
                  .toInt(),
              4500);
}

TEST(CompanyFileGenerator, UnitedStatesFileHasVendors)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("us.sqlite");
    writeCompanyFile(file, CompanyFileOptions{40, 2, 1, "pw"}, ExistingFile::Keep);
    EXPECT_EQ(count(file, "CardTypeID = 'S'"), 0);
    EXPECT_GT(count(file, "CardTypeID = 'V'"), 0);
    EXPECT_GT(count(file, "CardIdentification LIKE 'VEN%'"), 0);
}

TEST(CompanyFileGenerator, ReplacesOnlyARegularFileAndDeletesNothingItDidNotMake)
{
    QTemporaryDir dir;
    const QString precious = dir.filePath("precious.txt");
    writeBytes(precious, "precious");
    QDir(dir.path()).mkdir("folder");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    const bool device = ::mknod(QFile::encodeName(dir.filePath("device")).constData(),
                                S_IFCHR | 0600, makedev(1, 3)) == 0;
    QFile::link(precious, dir.filePath("to-file"));
    QFile::link(dir.filePath("folder"), dir.filePath("to-folder"));
    QFile::link(dir.filePath("fifo"), dir.filePath("to-fifo"));
    QFile::link("/dev/null", dir.filePath("to-device"));
    QFile::link(dir.filePath("gone"), dir.filePath("to-nothing"));
    writeBytes(dir.filePath("new.sqlite.part"), "not made by the generator");

    struct Case
    {
        const char* name;
        ExistingFile existing;
        bool written;
    };
    const Case cases[] = {
        {"new.sqlite", ExistingFile::Keep, true},     {"precious.txt", ExistingFile::Keep, false},
        {"folder", ExistingFile::Replace, false},     {"fifo", ExistingFile::Replace, false},
        {"device", ExistingFile::Replace, false},     {"to-folder", ExistingFile::Replace, false},
        {"to-fifo", ExistingFile::Replace, false},    {"to-device", ExistingFile::Replace, false},
        {"to-nothing", ExistingFile::Replace, false}, {"to-file", ExistingFile::Replace, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (QLatin1String(c.name) == QLatin1String("device") && !device) {
            continue; // making a device node needs root
        }
        const std::string after = entries(dir.path(), {c.name});
        const QString path = dir.filePath(c.name);
        const auto write = [&] {
            writeCompanyFile(path, CompanyFileOptions{5, 1, 1, {}}, c.existing);
        };
        if (c.written) {
            EXPECT_NO_THROW(write());
            EXPECT_EQ(count(path, "1"), 5);
        } else {
            EXPECT_THROW(write(), brindle::PlatformError);
        }
        EXPECT_EQ(entries(dir.path()), after);
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("to-file")).isSymLink());
    EXPECT_EQ(count(precious, "1"), 5) << "the file the link names is replaced";
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_EQ(bytesOf(dir.filePath("new.sqlite.part")), "not made by the generator");
}

TEST(CompanyFileGenerator, FailureLeavesNothingBehindAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString old = dir.filePath("old.sqlite");
    writeBytes(old, "the old file");
    struct Case
    {
        const char* what;
        QString path;
        ExistingFile existing;
        rlim_t limit;
    };
    const Case cases[] = {
        {"no room for the first page", dir.filePath("new.sqlite"), ExistingFile::Keep, 64},
        {"no room for the cards", dir.filePath("new.sqlite"), ExistingFile::Keep, 200'000},
        {"replacing, no room for the cards", old, ExistingFile::Replace, 200'000},
        {"folder missing", dir.filePath("missing/new.sqlite"), ExistingFile::Keep, RLIM_INFINITY},
        {"empty path", QString(), ExistingFile::Keep, RLIM_INFINITY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = entries(dir.path());
        {
            FileSizeLimit limit(c.limit);
            EXPECT_THROW(writeCompanyFile(c.path, CompanyFileOptions{3000, 1, 1, {}}, c.existing),
                         brindle::PlatformError);
        }
        EXPECT_EQ(entries(dir.path()), before);
        EXPECT_EQ(bytesOf(old), "the old file");
    }
}

TEST(CompanyFileGenerator, CountsOutsideTheBoundAreRefused)
{
    QTemporaryDir dir;
    for (const int cards : {-1, maxSampleCards + 1}) {
        SCOPED_TRACE(cards);
        EXPECT_THROW(writeCompanyFile(dir.filePath("x.sqlite"), CompanyFileOptions{cards, 1, 1, {}},
                                      ExistingFile::Keep),
                     brindle::PlatformError);
        EXPECT_EQ(entries(dir.path()), "");
    }
}
