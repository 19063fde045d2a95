#include "CardFixture.h"
#include "cardlib/sample/SampleCompany.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace TarvoCards;

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

} // namespace

TEST(CardSample, SameSeedSameFileOtherSeedOtherFile)
{
    QTemporaryDir dir;
    const auto write = [&](const char* name, quint32 seed) {
        writeSampleCompany(dir.filePath(name), SampleOptions{60, 1, seed, {}}, false);
        return contents(dir.filePath(name));
    };
    const QStringList first = write("a.sqlite", 7);
    EXPECT_EQ(write("b.sqlite", 7), first);
    EXPECT_NE(write("c.sqlite", 8), first);
}

TEST(CardSample, FileIsVariedAndRealistic)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("sample.sqlite");
    writeSampleCompany(file, SampleOptions{200, 1, 3, {}}, false);
    EXPECT_EQ(count(file, "1"), 200);
    for (const char* type : {"C", "S", "E", "P"}) {
        EXPECT_GT(count(file, QStringLiteral("CardTypeID = '%1'").arg(type)), 0) << type;
    }
    EXPECT_GT(count(file, "IsIndividual = 'Y'"), 0);
    EXPECT_GT(count(file, "IsIndividual = 'N'"), 0);
    EXPECT_GT(count(file, "IsInactive = 'Y'"), 0);
    EXPECT_GT(count(file, "Notes <> ''"), 0);
    EXPECT_GT(count(file, "Identifiers <> ''"), 0);
    EXPECT_GT(count(file, "CustomField1 LIKE '__/__/____'"), 0);
    EXPECT_GT(count(file, "LastName LIKE '%''%' OR LastName LIKE '%&%'"), 0);
    EXPECT_GT(count(file, "LastName || FirstName GLOB '*[^ -~]*'"), 0);
    EXPECT_EQ(count(file, "(SELECT count(*) FROM Addresses a WHERE a.CardRecordID = "
                          "Cards.CardRecordID) < 2"),
              0);
}

TEST(CardSample, UnitedStatesFileWithPasswordNeedsTheLogin)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("us.sqlite");
    writeSampleCompany(file, SampleOptions{40, 2, 1, "pw"}, false);
    EXPECT_EQ(count(file, "CardTypeID = 'S'"), 0);
    EXPECT_GT(count(file, "CardTypeID = 'V'"), 0);
    CConnection connection;
    connection.ConnectionTimeout = 0;
    connection.Settings().DataFile = file;
    connection.Settings().Username = sampleUserName;
    connection.Settings().Password = "wrong";
    EXPECT_FALSE(connection.Connect());
    connection.Settings().Password = "pw";
    EXPECT_TRUE(connection.Connect());
    EXPECT_EQ(connection.Settings().CountryCode(), 2);
}

TEST(CardSample, ExistingFileIsKeptUnlessForced)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("keep.sqlite");
    {
        QFile existing(file);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("precious");
    }
    EXPECT_THROW(writeSampleCompany(file, SampleOptions{10, 1, 1, {}}, false),
                 brindle::PlatformError);
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "precious");
    kept.close();
    writeSampleCompany(file, SampleOptions{10, 1, 1, {}}, true);
    EXPECT_EQ(count(file, "1"), 10);
    EXPECT_FALSE(QFile::exists(file + ".part"));
}
