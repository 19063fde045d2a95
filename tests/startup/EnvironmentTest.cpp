#include "startup/Environment.h"

#include "PeFile.h"
#include "ProgramFixture.h"
#include "TableFile.h"
#include "startup/Settings.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace brindle {
namespace {

class EnvironmentTest : public test::ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        settings.gobjOptions.emplace();
        enableLog();
    }
    void TearDown() override
    {
        qunsetenv("BRINDLE_DRIVER_VERSION");
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    void makeFile(const QString& relative)
    {
        const QString path = folder.filePath(relative);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void setDriver(const QString& version) { qputenv("BRINDLE_DRIVER_VERSION", version.toUtf8()); }
};

TEST_F(EnvironmentTest, DriverBelowThreeMillionCountsAsMissing)
{
    for (const QStringList& row : test::tableRows("driver.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        QFile::remove(MMain::logFilePath());
        setDriver(row[0]);
        EXPECT_EQ(MMain::IsVEXOODBCInstalled(context, settings), row[1] == u"True");
        EXPECT_EQ(logLines().size(), row[2].isEmpty() ? 0 : 1);
        EXPECT_TRUE(logLines().value(0).endsWith(row[2]));
    }
}

TEST_F(EnvironmentTest, ProductMayRunOnlySoFarAheadOfTheDriver)
{
    for (const QStringList& row : test::tableRows("products.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        QFile::remove(MMain::logFilePath());
        prompts.messages.clear();
        settings = RunSettings{};
        settings.gobjOptions.emplace();
        const QString path = folder.filePath(row[0]);
        const QStringList version = row[1].split(u'.', Qt::SkipEmptyParts);
        test::PeFile pe;
        std::transform(version.begin(), version.end(), pe.version,
                       [](const QString& part) { return part.toUShort(); });
        version.isEmpty() ? makeFile(row[0]) : pe.writeTo(path);
        settings.gobjOptions->setHostExePath(path);
        MMain::GetVEXOProduct(settings);
        setDriver(row[2]);
        const bool compatible = row[3] == u"True";
        bool exitApplication = false;
        EXPECT_EQ(MMain::CheckVEXOInstallation(context, settings, exitApplication), compatible);
        EXPECT_FALSE(exitApplication);
        QFile::remove(path);
        EXPECT_EQ(prompts.messages.size(), compatible ? 0 : 1);
        EXPECT_TRUE(compatible || logLines().last().endsWith(
                                      u"VEXO[%1] ODBC[%2]"_s.arg(version[0], row[2].chopped(6))));
    }
}

TEST_F(EnvironmentTest, MissingDriverOffersTheInstaller)
{
    setDriver("missing");
    makeFile("p/VEXOP.exe");
    ASSERT_TRUE(
        hive->writeValue(MMain::appPathsKey("VEXOP.exe"), {}, folder.filePath("p/VEXOP.exe")));
    const QString setup = folder.filePath("p/Kestrel3/Setup.exe");
    for (const QStringList& row : test::tableRows("installer.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        QFile::remove(setup);
        const bool installerThere = row[1] == u"True";
        installerThere ? makeFile("p/Kestrel3/Setup.exe")
                       : void(QDir(folder.path()).mkpath("p/Kestrel3"));
        prompts.messages.clear();
        prompts.openedFiles.clear();
        prompts.answers = {row[0] == u"Yes" ? Prompts::Yes : Prompts::No};
        bool exitApplication = false;
        EXPECT_FALSE(MMain::CheckVEXOInstallation(context, settings, exitApplication));
        EXPECT_EQ(exitApplication, row[2] == u"True");
        const bool launched = row[0] == u"Yes" && installerThere;
        EXPECT_EQ(prompts.openedFiles, launched ? QStringList{setup} : QStringList{});
        ASSERT_EQ(prompts.messages.size(), row[3] == u"True" ? 2 : 1);
        EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
        EXPECT_EQ(logLines().last().endsWith(setup), launched) << "the installer is logged";
    }
}

TEST_F(EnvironmentTest, ContactStoreStandsForTheOutlookInstallation)
{
    QDir(folder.path()).mkdir("existing");
    makeFile("a-file");
    for (const QStringList& row : test::tableRows("contact-stores.txt")) {
        SCOPED_TRACE(row.join(u'|').toStdString());
        prompts.messages.clear();
        const QString root = folder.filePath(row[0]);
        const bool usable = row[1] == u"True";
        qputenv("BRINDLE_CONTACTS", root.toUtf8());
        EXPECT_EQ(MMain::CheckOutlookInstallation(context), usable);
        EXPECT_EQ(QFileInfo(root).isDir(), usable);
        EXPECT_EQ(prompts.messages.size(), usable ? 0 : 1);
    }
}

} // namespace
} // namespace brindle
