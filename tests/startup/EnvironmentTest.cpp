#include "startup/Environment.h"

#include "PeFile.h"
#include "ProgramFixture.h"
#include "startup/Settings.h"

#include <QDir>

namespace brindle {
namespace {

class EnvironmentTest : public test::ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        settings.gobjOptions.emplace();
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
    void makeFolder(const QString& relative) { ASSERT_TRUE(QDir(folder.path()).mkpath(relative)); }
    QString hostExe(const QString& name, const QList<quint16>& version)
    {
        test::PeFile pe;
        std::copy(version.begin(), version.end(), pe.version);
        const QString path = folder.filePath(name);
        pe.writeTo(path);
        return path;
    }
    void setDriver(const char* version) { qputenv("BRINDLE_DRIVER_VERSION", version); }
    void registerExe(const char* exeName, const QString& path)
    {
        ASSERT_TRUE(
            hive->writeValue(MMain::appPathsKey(QString::fromLatin1(exeName)), QString(), path));
    }
};

TEST_F(EnvironmentTest, DriverBelowThreeMillionCountsAsMissing)
{
    enableLog();
    const struct
    {
        const char* version;
        bool installed;
        const char* logged; // the end of the log's line; nullptr: nothing logged
    } rows[] = {{"2999999", false, nullptr},
                {"3000000", true, "Version : 3000000"},
                {"15000120", true, "Version : 15000120"},
                {"missing", false, "The card library driver is not installed"}};
    for (const auto& row : rows) {
        QFile::remove(MMain::logFilePath());
        setDriver(row.version);
        EXPECT_EQ(MMain::IsVEXOODBCInstalled(context, settings), row.installed) << row.version;
        EXPECT_EQ(logLines().size(), row.logged ? 1 : 0) << row.version;
        EXPECT_TRUE(!row.logged || logLines().value(0).endsWith(QLatin1String(row.logged)));
    }
}

TEST_F(EnvironmentTest, ProductMayRunOnlySoFarAheadOfTheDriver)
{
    enableLog();
    const struct
    {
        const char* exeName;
        QList<quint16> version; // empty: a file without a version resource
        const char* driver;
        bool compatible;
    } rows[] = {
        {"VEXOP.exe", {19, 0, 0, 0}, "15000000", true},
        {"VEXOP.exe", {20, 0, 0, 0}, "15000000", false},
        {"VEXOP.exe", {20, 0, 0, 0}, "15999999", false}, // the driver's major rounds down
        {"VEXOP.exe", {20, 0, 0, 0}, "16000000", true},
        {"vexop.EXE", {20, 0, 0, 0}, "15000000", false},
        {"VEXO.exe", {25, 9, 0, 0}, "15000000", true},
        {"VEXO.exe", {26, 0, 0, 0}, "15000000", false},
        {"VEXOP copy.exe", {99, 0, 0, 0}, "3000000", true},
        {"VEXOP.exe", {}, "3000000", true},
    };
    for (const auto& row : rows) {
        QFile::remove(MMain::logFilePath());
        prompts.messages.clear();
        settings = RunSettings{};
        settings.gobjOptions.emplace();
        const QString name = QString::fromLatin1(row.exeName);
        if (row.version.isEmpty()) {
            makeFile(name);
        }
        const QString path =
            row.version.isEmpty() ? folder.filePath(name) : hostExe(name, row.version);
        settings.gobjOptions->setHostExePath(path);
        MMain::GetVEXOProduct(settings);
        setDriver(row.driver);
        bool exitApplication = false;
        EXPECT_EQ(MMain::CheckVEXOInstallation(context, settings, exitApplication), row.compatible)
            << row.exeName << ' ' << row.driver;
        EXPECT_FALSE(exitApplication);
        QFile::remove(path);
        EXPECT_EQ(prompts.messages.size(), row.compatible ? 0 : 1) << row.exeName;
        const QString driverMajor = QString::fromLatin1(row.driver).chopped(6);
        EXPECT_TRUE(row.compatible ||
                    logLines().last().endsWith(
                        QStringLiteral("VEXO[%1] ODBC[%2]").arg(row.version[0]).arg(driverMajor)));
    }
}

TEST_F(EnvironmentTest, MissingDriverOffersTheInstaller)
{
    enableLog();
    setDriver("missing");
    makeFile("p/VEXOP.exe");
    registerExe("VEXOP.exe", folder.filePath("p/VEXOP.exe"));
    const QString setup = folder.filePath("p/Kestrel3/Setup.exe");
    const struct
    {
        Prompts::Answer answer;
        bool installerThere;
        bool exitApplication;
        bool secondMessage; // after the offer
    } rows[] = {{Prompts::Yes, true, true, false},
                {Prompts::Yes, false, false, true},
                {Prompts::No, true, false, true}};
    for (const auto& row : rows) {
        QFile::remove(setup);
        if (row.installerThere) {
            makeFile("p/Kestrel3/Setup.exe");
        } else {
            makeFolder("p/Kestrel3");
        }
        prompts.messages.clear();
        prompts.openedFiles.clear();
        prompts.answers = {row.answer};
        bool exitApplication = false;
        EXPECT_FALSE(MMain::CheckVEXOInstallation(context, settings, exitApplication));
        EXPECT_EQ(exitApplication, row.exitApplication);
        const bool launched = row.answer == Prompts::Yes && row.installerThere;
        EXPECT_EQ(prompts.openedFiles, launched ? QStringList{setup} : QStringList{});
        ASSERT_EQ(prompts.messages.size(), row.secondMessage ? 2 : 1);
        EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
        EXPECT_EQ(logLines().last().endsWith(setup), launched) << "the installer is logged";
    }
}

TEST_F(EnvironmentTest, ContactStoreStandsForTheOutlookInstallation)
{
    makeFolder("existing");
    makeFile("a-file");
    const struct
    {
        const char* root;
        bool usable;
    } rows[] = {
        {"existing", true},
        {"new/contacts", true}, // made by the check
        {"a-file", false},
        {"a-file/contacts", false},
    };
    for (const auto& row : rows) {
        prompts.messages.clear();
        const QString root = folder.filePath(row.root);
        qputenv("BRINDLE_CONTACTS", root.toUtf8());
        EXPECT_EQ(MMain::CheckOutlookInstallation(context), row.usable) << row.root;
        EXPECT_EQ(QFileInfo(root).isDir(), row.usable) << row.root;
        EXPECT_EQ(prompts.messages.size(), row.usable ? 0 : 1) << row.root;
    }
}

} // namespace
} // namespace brindle
