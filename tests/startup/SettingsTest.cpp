#include "startup/Settings.h"

#include "OrdinaryUser.h"
#include "ProgramFixture.h"
#include "platform/PlatformError.h"
#include "screens/ScreenTexts.h"
#include "startup/TextHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

TEST(SettingsConversions, String2Long)
{
    const struct
    {
        const char* text;
        qint32 fallback;
        qint32 expected;
    } cases[] = {{"", 3, 0},    {"abc", 3, 3},  {" 2 ", 3, 2},    {"-7", 0, -7},
                 {"2.5", 9, 2}, {"3.5", 9, 4},  {"1e3", 0, 1000}, {"99999999999", 1, 1},
                 {"nan", 1, 1}, {"12abc", 5, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(MMain::String2Long(QString::fromLatin1(c.text), c.fallback), c.expected)
            << c.text;
    }
}

TEST(SettingsConversions, String2Boolean)
{
    EXPECT_FALSE(MMain::String2Boolean(QStringLiteral("false")));
    EXPECT_FALSE(MMain::String2Boolean(QStringLiteral("FALSE")));
    for (const char* text : {"No", "0", "", "True", " false"}) {
        EXPECT_TRUE(MMain::String2Boolean(QString::fromLatin1(text))) << text;
    }
}

TEST(SettingsConversions, CleanText)
{
    const struct
    {
        const char* text;
        bool keepCase;
        const char* expected;
    } cases[] = {
        {"  a\tb\r\nc\x08\x0b\x0c ", false, "ABC"},
        {" Mixed Case\n", true, "Mixed Case"},
        {"\x07keep\x0e", true, "\x07keep\x0e"},
        // Only blanks are trimmed; other spaces stay.
        {"\u00a0x\u3000", false, "\u00a0X\u3000"},
        // Upper-casing keeps the length: no letter becomes two.
        {"straße", false, "STRAßE"},
        {"ﬁne ŉ", false, "ﬁNE ŉ"},
        {"ǆemal", false, "ǄEMAL"},
        {"éñø 𐐨", false, "ÉÑØ 𐐀"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MMain::CleanText(QString::fromUtf8(c.text), c.keepCase),
                  QString::fromUtf8(c.expected))
            << c.text;
    }
}

struct Lookup
{
    int* Item(const QString& key)
    {
        if (key == QLatin1String("throw")) {
            throw PlatformError(5, QStringLiteral("Invalid procedure call or argument"));
        }
        return key == QLatin1String("57K") ? &value : nullptr;
    }
    int value = 1;
};

TEST(SettingsItemExists, MissingOrFailingLookUpIsFalse)
{
    Lookup lookup;
    EXPECT_TRUE(MMain::ItemExists(QStringLiteral("57K"), lookup));
    EXPECT_FALSE(MMain::ItemExists(QStringLiteral("58K"), lookup));
    EXPECT_FALSE(MMain::ItemExists(QStringLiteral("throw"), lookup));
}

class SettingsStore : public ProgramFixture
{
protected:
    void writeHive(const QByteArray& text)
    {
        QFile file(hive->fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

TEST_F(SettingsStore, FreshInstallationStartsAtZeroAndTrue)
{
    EXPECT_TRUE(MMain::LoadGlobalSettings());
    EXPECT_EQ(MMain::glRulesFilter, 0);
    EXPECT_EQ(MMain::glCustomField1, 0);
    EXPECT_TRUE(MMain::gbShowOutlookWarning);
    EXPECT_TRUE(MMain::gbShowBackupWarning);
    EXPECT_TRUE(MMain::gbSuppressReport);
}

TEST_F(SettingsStore, LoadAppliesFallbacksToTextThatIsNoNumber)
{
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("abc"));
    setBrindleValue(QStringLiteral("DisableOutlookFolders"), QStringLiteral(" 1 "));
    setBrindleValue(QStringLiteral("CustomField2"), QStringLiteral("x"));
    setBrindleValue(QStringLiteral("ShowOutlookWarning"), QStringLiteral("false"));
    setBrindleValue(QStringLiteral("SuppressReport"), QStringLiteral("No"));
    MMain::LoadGlobalSettings();
    EXPECT_EQ(MMain::glRulesFilter, 3);
    EXPECT_EQ(MMain::glDisableOutlookFolders, 1);
    EXPECT_EQ(MMain::glCustomField2, 1);
    EXPECT_FALSE(MMain::gbShowOutlookWarning);
    EXPECT_TRUE(MMain::gbSuppressReport);
}

TEST_F(SettingsStore, SaveWritesEveryValueButSuppressReport)
{
    MMain::glRulesFilter = 2;
    MMain::glTransferInactives = 1;
    MMain::glCustomField3 = 4;
    MMain::gbShowOutlookWarning = false;
    MMain::gbShowBackupWarning = true;
    MMain::gbEncryptionActive = true;
    MMain::SaveRegistrySettings();
    EXPECT_FALSE(MMain::gbEncryptionActive);
    EXPECT_EQ(brindleValue(QStringLiteral("RulesFilter")), QStringLiteral("2"));
    EXPECT_EQ(brindleValue(QStringLiteral("TransferInactives")), QStringLiteral("1"));
    EXPECT_EQ(brindleValue(QStringLiteral("CustomField3")), QStringLiteral("4"));
    EXPECT_EQ(brindleValue(QStringLiteral("ShowOutlookWarning")), QStringLiteral("False"));
    EXPECT_EQ(brindleValue(QStringLiteral("ShowBackupWarning")), QStringLiteral("True"));
    EXPECT_TRUE(brindleValue(QStringLiteral("SuppressReport")).isNull());

    MMain::resetGlobals();
    MMain::LoadGlobalSettings();
    EXPECT_EQ(MMain::glRulesFilter, 2);
    EXPECT_EQ(MMain::glCustomField3, 4);
    EXPECT_FALSE(MMain::gbShowOutlookWarning);
}

TEST_F(SettingsStore, LastConnectedDateIsTheLocalesGeneralDateAndReadsBack)
{
    const struct
    {
        QLocale locale;
        const char* stored;
        const char* caption;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "04/12/2026 09:15:02",
         "Last Connected: 04 Dec 2026"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/4/2026 9:15:02 AM",
         "Last Connected: 04 Dec 2026"},
        {QLocale(QLocale::German, QLocale::Germany), "04.12.2026 09:15:02",
         "Last Connected: 04 Dez 2026"},
        {QLocale(QLocale::Finnish, QLocale::Finland), "4.12.2026 9.15.02",
         "Last Connected: 04 joulu 2026"},
    };
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        MMain::SaveRegistrySettings();
        EXPECT_EQ(brindleValue(QStringLiteral("LastConnectedDate")), QString::fromUtf8(c.stored))
            << c.locale.name().toStdString();
        EXPECT_EQ(lastConnectedCaption(), QString::fromUtf8(c.caption))
            << c.locale.name().toStdString();
    }
}

TEST_F(SettingsStore, LastConnectedCaptionWithoutADate)
{
    EXPECT_EQ(lastConnectedCaption(), QStringLiteral("First Time Use"));
    for (const char* stored : {"not a date", "31/02/2026 09:15:02", "04/12/2026 25:00:00"}) {
        setBrindleValue(QStringLiteral("LastConnectedDate"), QString::fromLatin1(stored));
        EXPECT_EQ(lastConnectedCaption(), std::nullopt) << stored;
    }
}

TEST_F(SettingsStore, HandWrittenSwitchInAnyCaseIsTheOneValue)
{
    writeHive("[software/vexo/vexo brindle]\nlogfile=TRUE\n");
    MMain::WriteLog(QStringLiteral("logged"));
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("logged")});
    EXPECT_TRUE(MMain::UpdateRegValue(MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                                      QStringLiteral("LogFile"), QStringLiteral("True")));
    EXPECT_EQ(hiveText(), QByteArray("[software/vexo/vexo brindle]\nlogfile=True\n"));
}

TEST_F(SettingsStore, DamagedHiveReadsTheSameInEveryRunAndIsKeptBeforeItsRepair)
{
    const QByteArray damaged = "[Software/VEXO/VEXO Brindle]\nRulesFilter=7\n[broken\n";
    writeHive(damaged);
    QStringList problems;
    hive->setProblemReporter([&](const QString& problem) { problems.append(problem); });
    for (int run = 0; run < 2; ++run) {
        MMain::resetGlobals();
        MMain::Main(QStringLiteral("DATABASE=/data/company.db"));
        EXPECT_EQ(MMain::glRulesFilter, 7) << run;
        MMain::ExitApplication();
    }
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.first().contains(QLatin1String("is damaged")));
    const QStringList copies =
        QDir(folder.path()).entryList({QStringLiteral("hklm.ini.damaged-*")}, QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    QFile copy(folder.filePath(copies.first()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_FALSE(hiveText().contains("[broken"));
}

TEST_F(SettingsStore, ValuesAreTrimmedAndOtherRootsRefused)
{
    setBrindleValue(QStringLiteral("RulesFilter"), QStringLiteral("  2  "));
    EXPECT_EQ(MMain::GetRegValue(MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                                 QStringLiteral("RulesFilter")),
              QStringLiteral("2"));
    EXPECT_EQ(MMain::GetRegValue(0, MMain::brindleKey(), QStringLiteral("RulesFilter")), QString());
    EXPECT_FALSE(
        MMain::UpdateRegValue(0, MMain::brindleKey(), QStringLiteral("X"), QStringLiteral("1")));
}

// The writes to a read-only hive fail, are logged and change nothing.
bool readOnlyHiveKeepsItsValues(const QString& brindleKey, IniHive& readOnly)
{
    MMain::glRulesFilter = 3;
    const bool refused = !MMain::UpdateRegValue(MMain::HKEY_LOCAL_MACHINE, brindleKey,
                                                QStringLiteral("RulesFilter"), QStringLiteral("3"));
    MMain::SaveRegistrySettings();
    const bool kept =
        readOnly.readValue(brindleKey, QStringLiteral("RulesFilter")) == QLatin1String("2");
    QFile log(MMain::logFilePath());
    QByteArray enciphered;
    if (log.open(QIODevice::ReadOnly)) {
        MMain::LogReader(log).next(enciphered);
    }
    const QString line = MMain::decipherLogLine(enciphered);
    return refused && kept &&
           line.startsWith(QStringLiteral(
               "04/Dec/2026 09:15:02 VEXOBrindle.MMain.UpdateRegValue Error : 287 : ")) &&
           line.endsWith(QStringLiteral(" ValueName :RulesFilter ValueData :3:"));
}

TEST_F(SettingsStore, ReadOnlyHiveLosesNothingAndLogsTheFailedWrite)
{
    QDir(folder.path()).mkdir(QStringLiteral("ro"));
    IniHive readOnly(folder.filePath(QStringLiteral("ro/hklm.ini")));
    MMain::setRegistry(&readOnly);
    ASSERT_TRUE(readOnly.writeValue(MMain::brindleKey(), QStringLiteral("LogFile"),
                                    QStringLiteral("TRUE")));
    ASSERT_TRUE(readOnly.writeValue(MMain::brindleKey(), QStringLiteral("RulesFilter"),
                                    QStringLiteral("2")));
    const auto readAndExecute = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(readOnly.fileName(),
                                      QFileDevice::ReadOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath(QStringLiteral("ro")), readAndExecute));
    // The log's folder stays writable for everyone.
    ASSERT_TRUE(QFile::setPermissions(folder.path(), readAndExecute | QFileDevice::WriteOwner |
                                                         QFileDevice::WriteOther));
    EXPECT_TRUE(test::asOrdinaryUser(
        [&readOnly] { return readOnlyHiveKeepsItsValues(MMain::brindleKey(), readOnly); }));
}

TEST_F(SettingsStore, UnwritableHiveLocationFailsEveryWriteWithoutCrashing)
{
    enableLog();
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    IniHive unwritable(folder.filePath(QStringLiteral("blocker/hklm.ini")));
    MMain::setRegistry(&unwritable);
    EXPECT_FALSE(MMain::UpdateRegValue(MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                                       QStringLiteral("RulesFilter"), QStringLiteral("3")));
    MMain::SaveRegistrySettings();
    MMain::WriteLog(QStringLiteral("after")); // the switch cannot be read: logging is off
    EXPECT_TRUE(MMain::LoadGlobalSettings());
    EXPECT_EQ(MMain::glRulesFilter, 0);
    MMain::setRegistry(hive.get());
    EXPECT_TRUE(logLines().isEmpty());
}

} // namespace
