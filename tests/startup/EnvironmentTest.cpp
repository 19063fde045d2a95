#include "startup/Environment.h"

#include "PeFile.h"
#include "ProgramFixture.h"
#include "startup/Settings.h"

#include <QDir>

namespace brindle {
namespace {

const QString crlf = QStringLiteral("\r\n");

class EnvironmentTest : public test::ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        MMain::gobjOptions = std::make_unique<clsOptions>();
    }
    void TearDown() override
    {
        qunsetenv("BRINDLE_DRIVER_VERSION");
        qunsetenv("BRINDLE_CONTACTS");
        ProgramFixture::TearDown();
    }

    // "$D" stands for the test's folder.
    QString inFolder(const QString& text) const
    {
        return QString(text).replace(QStringLiteral("$D"), folder.path());
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
        const char* logLine; // nullptr: nothing logged
    } rows[] = {
        {"2999999", false, nullptr},
        {"3000000", true,
         "04/Dec/2026 09:15:02 VEXOBrindle.MMain.IsVEXOODBCInstalled VEXO_ODBC Version : 3000000"},
        {"15000120", true,
         "04/Dec/2026 09:15:02 VEXOBrindle.MMain.IsVEXOODBCInstalled VEXO_ODBC Version : "
         "15000120"},
        {"missing", false,
         "04/Dec/2026 09:15:02 VEXOBrindle.MMain.IsVEXOODBCInstalled Error : 429 : The card "
         "library driver is not installed"},
    };
    for (const auto& row : rows) {
        QFile::remove(MMain::logFilePath());
        setDriver(row.version);
        EXPECT_EQ(MMain::IsVEXOODBCInstalled(), row.installed) << row.version;
        const QStringList expected =
            row.logLine ? QStringList{QString::fromLatin1(row.logLine)} : QStringList{};
        EXPECT_EQ(logLines(), expected) << row.version;
    }

    setDriver("2999999");
    prompts.answers << Prompts::No;
    bool exitApplication = false;
    EXPECT_FALSE(MMain::CheckVEXOInstallation(exitApplication));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Install VEXO ODBC"));
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
        MMain::resetGlobals();
        MMain::gobjOptions = std::make_unique<clsOptions>();
        const QString name = QString::fromLatin1(row.exeName);
        if (row.version.isEmpty()) {
            makeFile(name);
        }
        const QString path =
            row.version.isEmpty() ? folder.filePath(name) : hostExe(name, row.version);
        MMain::gobjOptions->setHostExePath(path);
        MMain::GetVEXOProduct();
        setDriver(row.driver);
        bool exitApplication = false;
        EXPECT_EQ(MMain::CheckVEXOInstallation(exitApplication), row.compatible)
            << row.exeName << ' ' << row.driver;
        EXPECT_FALSE(exitApplication);
        QFile::remove(path);
        if (row.compatible) {
            EXPECT_TRUE(prompts.messages.isEmpty()) << row.exeName;
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1) << row.exeName;
        EXPECT_EQ(prompts.messages[0].text,
                  "The installed VEXO ODBC Driver is not compatible" + crlf +
                      "with your VEXO accounting product." + crlf + crlf +
                      "Please Click the 'Help' button for more detailed information.");
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Exclamation);
        const QString driverMajor = QString::fromLatin1(row.driver).chopped(6);
        EXPECT_EQ(logLines().last(),
                  QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.MMain.CheckVEXOInstallation "
                                 "Warning: The ODBC Version installed is lower than that required "
                                 "for the Product Version VEXO[%1] ODBC[%2]")
                      .arg(row.version[0])
                      .arg(driverMajor));
    }
}

TEST_F(EnvironmentTest, AVersionThatIsNoNumberFailsTheCheckSilently)
{
    enableLog();
    setDriver("15000000");
    MMain::gsHostExeName = QStringLiteral("VEXOP.exe");
    const struct
    {
        const char* version;
        const char* error;
    } rows[] = {{"7", "Error : 5 : Invalid procedure call or argument"},
                {"x.1", "Error : 13 : Type mismatch"},
                {".1", "Error : 13 : Type mismatch"}};
    for (const auto& row : rows) {
        MMain::gsHostExeVersion = QString::fromLatin1(row.version);
        bool exitApplication = false;
        EXPECT_FALSE(MMain::CheckVEXOInstallation(exitApplication)) << row.version;
        EXPECT_TRUE(prompts.messages.isEmpty()) << row.version;
        EXPECT_TRUE(logLines().last().endsWith(
            QStringLiteral("VEXOBrindle.MMain.CheckVEXOInstallation ") + row.error))
            << qPrintable(logLines().last());
    }
}

TEST_F(EnvironmentTest, ProductIsKnownByItsExecutablesName)
{
    const QString version = hostExe(QStringLiteral("VEXOP.exe"), {15, 2, 1, 3});
    hostExe(QStringLiteral("VEXO.exe"), {30, 0, 0, 1});
    makeFolder(QStringLiteral("sub"));
    hostExe(QStringLiteral("sub/vexo.EXE"), {1, 2, 3, 4});
    makeFile(QStringLiteral("plain/VEXOP.exe"));
    const struct
    {
        const char* hostExePath;
        const char* name;
        const char* version;
        qint32 product;
    } rows[] = {
        {"$D/VEXOP.exe", "VEXOP.exe", "15.2.1.3", 2},
        {"$D/VEXO.exe", "VEXO.exe", "30.0.0.1", 1},
        {"  $D/sub/vexo.EXE  ", "vexo.EXE", "1.2.3.4", 1},
        {"$D\\sub\\vexo.EXE", "vexo.EXE", "1.2.3.4", 1},
        {"$D/plain/VEXOP.exe", "VEXOP.exe", "", 2},
        {"$D/Missing.exe", "", "", 0},
        {"", "", "", 0},
    };
    for (const auto& row : rows) {
        MMain::gsHostExeName.clear();
        MMain::gsHostExeVersion.clear();
        MMain::gobjOptions->setHostExePath(inFolder(QString::fromLatin1(row.hostExePath)));
        EXPECT_EQ(MMain::GetVEXOProduct(), row.product) << row.hostExePath;
        EXPECT_EQ(MMain::glVEXOProduct, row.product);
        EXPECT_EQ(MMain::gsHostExeName, QLatin1String(row.name)) << row.hostExePath;
        EXPECT_EQ(MMain::gsHostExeVersion, QLatin1String(row.version)) << row.hostExePath;
    }
    MMain::gobjOptions.reset();
    EXPECT_EQ(MMain::GetVEXOProduct(), 0) << "no options: errors are ignored";
    EXPECT_TRUE(MMain::CheckIfVEXOIsRunning()) << "the processes are never inspected";
}

TEST_F(EnvironmentTest, InstallerIsLookedForBesideTheRegisteredExecutable)
{
    enableLog();
    const struct
    {
        const char* vexop; // App Paths default values; nullptr: none
        const char* vexo;
        QStringList files;     // relative to the test's folder
        const char* installer; // expected result
        const char* logLine;
    } rows[] = {
        {"$D/p/VEXOP.exe",
         nullptr,
         {"p/VEXOP.exe", "p/Kestrel5/Setup.exe"},
         "$D/p/Kestrel5/Setup.exe",
         "Found VEXO ODBC Path $D/p/VEXOP.exe with $D/p/Kestrel5"},
        {"$D\\p\\VEXOP.exe",
         nullptr,
         {"p/VEXOP.exe", "p/Kestrel7/Setup.exe"},
         "$D/p/Kestrel7/Setup.exe",
         "Found VEXO ODBC Path $D\\p\\VEXOP.exe with $D/p/Kestrel7"},
        {"$D/p/VEXOP.exe",
         nullptr,
         {"p/VEXOP.exe", "p/Kestrel3/readme", "p/Kestrel4/Setup.exe"},
         "",
         "Found VEXO ODBC Path $D/p/VEXOP.exe with $D/p/Kestrel3"},
        {"$D/p/VEXOP.exe",
         "$D/a/VEXO.exe",
         {"a/VEXO.exe", "a/Kestrel6/Setup.exe"},
         "$D/a/Kestrel6/Setup.exe",
         "Found VEXO ODBC Path $D/a/VEXO.exe with $D/a/Kestrel6"},
        {"$D/p/VEXOP.exe",
         nullptr,
         {"p/VEXOP.exe"},
         "",
         "Can not find VEXO ODBC Path $D/p/VEXOP.exe with $D/p/Kestrel7"},
        {nullptr, nullptr, {}, "", "Can not find VEXO ODBC Path  with Kestrel7"},
    };
    int n = 0;
    for (const auto& row : rows) {
        QTemporaryDir rowFolder(folder.filePath(QStringLiteral("row%1-XXXXXX").arg(n++)));
        const auto here = [&](const char* text) {
            return QString::fromLatin1(text).replace(QStringLiteral("$D"), rowFolder.path());
        };
        for (const QString& file : row.files) {
            makeFile(QDir(folder.path()).relativeFilePath(rowFolder.filePath(file)));
        }
        registerExe("VEXOP.exe", row.vexop ? here(row.vexop) : QString());
        registerExe("VEXO.exe", row.vexo ? here(row.vexo) : QString());
        QFile::remove(MMain::logFilePath());
        EXPECT_EQ(MMain::GetVEXOODBCPath(), here(row.installer)) << row.logLine;
        EXPECT_EQ(logLines(), QStringList{here(row.logLine)});
    }
}

TEST_F(EnvironmentTest, MissingDriverOffersTheInstaller)
{
    enableLog();
    setDriver("missing");
    makeFile(QStringLiteral("p/VEXOP.exe"));
    registerExe("VEXOP.exe", folder.filePath(QStringLiteral("p/VEXOP.exe")));
    const QString setup = folder.filePath(QStringLiteral("p/Kestrel3/Setup.exe"));
    const struct
    {
        Prompts::Answer answer;
        bool installerThere;
        bool exitApplication;
        const char* lastMessage; // after the offer; nullptr: none
        const char* lastLog;
    } rows[] = {
        {Prompts::Yes, true, true, nullptr, "VEXO ODBC Driver Not Installed: Installer found at "},
        {Prompts::Yes, false, false,
         "Could not find the VEXO Kestrel Installer!\r\nYour VEXO Accounting Product may not be "
         "installed correctly. \r\n\r\nTo complete the VEXO ODBC installation, browse and launch "
         "the file\r\n\\Kestrel\\Setup.exe within your VEXO Accounting Product folder.",
         "VEXO ODBC Driver Not Installed: Installer found at "},
        {Prompts::No, true, false,
         "Could not create a VEXO ODBC Connection!\r\nVEXO ODBC is not installed correctly.",
         "VEXO ODBC Driver Not Installed User Declined to Install"},
    };
    for (const auto& row : rows) {
        QFile::remove(setup);
        if (row.installerThere) {
            makeFile(QStringLiteral("p/Kestrel3/Setup.exe"));
        } else {
            makeFolder(QStringLiteral("p/Kestrel3"));
        }
        prompts.messages.clear();
        prompts.openedFiles.clear();
        prompts.answers = {row.answer};
        bool exitApplication = false;
        EXPECT_FALSE(MMain::CheckVEXOInstallation(exitApplication));
        EXPECT_EQ(exitApplication, row.exitApplication);
        const bool launched = row.answer == Prompts::Yes && row.installerThere;
        EXPECT_EQ(prompts.openedFiles, launched ? QStringList{setup} : QStringList{});
        ASSERT_EQ(prompts.messages.size(), row.lastMessage ? 2 : 1);
        EXPECT_EQ(prompts.messages[0].text,
                  "Could not locate the VEXO ODBC Driver!" + crlf + crlf +
                      "You need to install VEXO ODBC before using Brindle." + crlf +
                      "Click 'Yes' to Launch the VEXO ODBC Installation, or 'No' to Exit." + crlf +
                      crlf + "Once installation completes you will need to Restart your computer." +
                      crlf);
        EXPECT_EQ(prompts.messages[0].buttons, Prompts::Buttons::YesNo);
        if (row.lastMessage) {
            EXPECT_EQ(prompts.messages[1].text, QLatin1String(row.lastMessage));
            EXPECT_EQ(prompts.messages[1].icon, Prompts::Icon::Critical);
        }
        const QString expectedLog = QLatin1String(row.lastLog) + (launched ? setup : QString());
        EXPECT_EQ(logLines().last(), expectedLog);
    }
}

TEST_F(EnvironmentTest, ContactStoreStandsForTheOutlookInstallation)
{
    makeFolder(QStringLiteral("existing"));
    makeFile(QStringLiteral("a-file"));
    const struct
    {
        const char* root;
        bool usable;
    } rows[] = {
        {"$D/existing", true},
        {"$D/new/contacts", true}, // made by the check
        {"$D/a-file", false},
        {"$D/a-file/contacts", false},
    };
    for (const auto& row : rows) {
        prompts.messages.clear();
        const QString root = inFolder(QString::fromLatin1(row.root));
        qputenv("BRINDLE_CONTACTS", root.toUtf8());
        EXPECT_EQ(MMain::CheckOutlookInstallation(), row.usable) << row.root;
        EXPECT_EQ(QFileInfo(root).isDir(), row.usable) << row.root;
        if (row.usable) {
            EXPECT_TRUE(prompts.messages.isEmpty());
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].text,
                  "VEXO Brindle could not find your Outlook Installation" + crlf + crlf +
                      "Please ensure that Outlook is installed before continuing");
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Critical);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("VEXO Brindle"));
    }
}

} // namespace
} // namespace brindle
