#include "startup/Settings.h"

#include "OrdinaryUser.h"
#include "ProgramFixture.h"
#include "TableFile.h"
#include "forms/ScreenTexts.h"
#include "platform/PlatformError.h"
#include "startup/TextHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

// The rows of data/functions.txt, whether the log's cipher is on or off.
TEST(StartupFunctions, GiveTheResultsOfTheTable)
{
    ProgramContext context;
    for (const bool active : {false, true}) {
        context.gbEncryptionActive = active;
        for (const QStringList& row : test::tableRows("functions.txt")) {
            const QString& function = row[0];
            const auto flag = [](const QString& text) { return text == u"True"; };
            QString result;
            if (function == u"String2Long") {
                result = QString::number(MMain::String2Long(row[1], row[2].toInt()));
            } else if (function == u"String2Boolean") {
                result = booleanText(MMain::String2Boolean(row[1]));
            } else if (function == u"CleanText") {
                result = MMain::CleanText(row[1], flag(row[2]));
            } else if (function == u"Decipher") {
                result = MMain::decipherLogLine(row[1].toLatin1());
            } else {
                const QByteArray plain = row[1].toLatin1();
                result =
                    QString::fromLatin1(MMain::EncryptDecrypt(plain, flag(row[2]), row[3].toInt()));
                if (row[3] != u"0" && !plain.isEmpty() && plain != " ") {
                    EXPECT_EQ(
                        MMain::EncryptDecrypt(result.toLatin1(), flag(row[2]), -row[3].toInt()),
                        plain);
                }
            }
            EXPECT_EQ(result, row.last()) << row.join(u'|').toStdString();
        }
    }
}

using SettingsStore = ProgramFixture;

TEST_F(SettingsStore, LoadAppliesFallbacksToTextThatIsNoNumber)
{
    setBrindleValue("RulesFilter", "abc");
    setBrindleValue("DisableOutlookFolders", " 1 ");
    setBrindleValue("CustomField2", "x");
    setBrindleValue("ShowOutlookWarning", "false");
    setBrindleValue("SuppressReport", "No");
    MMain::LoadGlobalSettings(context, settings);
    EXPECT_EQ(settings.glRulesFilter, 3);
    EXPECT_EQ(settings.glDisableOutlookFolders, 1);
    EXPECT_EQ(settings.glCustomField2, 1);
    EXPECT_FALSE(settings.gbShowOutlookWarning);
    EXPECT_TRUE(settings.gbSuppressReport);
}

TEST_F(SettingsStore, SaveWritesEveryValueButSuppressReport)
{
    settings.glRulesFilter = 2;
    settings.glTransferInactives = 1;
    settings.glCustomField3 = 4;
    settings.gbShowOutlookWarning = false;
    settings.gbShowBackupWarning = true;
    context.gbEncryptionActive = true;
    MMain::SaveRegistrySettings(context, settings);
    EXPECT_FALSE(context.gbEncryptionActive);
    EXPECT_EQ(brindleValue("RulesFilter"), "2");
    EXPECT_EQ(brindleValue("TransferInactives"), "1");
    EXPECT_EQ(brindleValue("CustomField3"), "4");
    EXPECT_EQ(brindleValue("ShowOutlookWarning"), "False");
    EXPECT_EQ(brindleValue("ShowBackupWarning"), "True");
    EXPECT_TRUE(brindleValue("SuppressReport").isNull());

    settings = RunSettings{};
    MMain::LoadGlobalSettings(context, settings);
    EXPECT_EQ(settings.glRulesFilter, 2);
    EXPECT_EQ(settings.glCustomField3, 4);
    EXPECT_FALSE(settings.gbShowOutlookWarning);
}

TEST_F(SettingsStore, LastConnectedDateIsTheLocalesGeneralDateAndReadsBack)
{
    for (const QStringList& row : test::tableRows("last-connected.txt")) {
        QLocale::setDefault(QLocale(row[0]));
        MMain::SaveRegistrySettings(context, settings);
        EXPECT_EQ((QStringList{brindleValue("LastConnectedDate"),
                               lastConnectedCaption(context).value_or("")}),
                  row.mid(1));
    }
}

TEST_F(SettingsStore, ReadOnlyHiveLosesNothingAndLogsTheFailedWrite)
{
    QDir(folder.path()).mkdir("ro");
    IniHive readOnly(folder.filePath("ro/hklm.ini"));
    ASSERT_TRUE(readOnly.writeValue(MMain::brindleKey(), "LogFile", "TRUE"));
    ASSERT_TRUE(readOnly.writeValue(MMain::brindleKey(), "RulesFilter", "2"));
    const auto readAndExecute = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(readOnly.fileName(),
                                      QFileDevice::ReadOwner | QFileDevice::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("ro"), readAndExecute));
    // The log's folder stays writable for everyone.
    ASSERT_TRUE(QFile::setPermissions(folder.path(), readAndExecute | QFileDevice::WriteOwner |
                                                         QFileDevice::WriteOther));
    // The writes fail, are logged and change nothing.
    EXPECT_TRUE(test::asOrdinaryUser([this, &readOnly] {
        ProgramContext context({.registry = &readOnly, .clock = [] {
                                    return QDateTime(QDate(2026, 12, 4), QTime(9, 15, 2));
                                }});
        RunSettings settings;
        settings.glRulesFilter = 3;
        const bool refused = !MMain::UpdateRegValue(context, MMain::HKEY_LOCAL_MACHINE,
                                                    MMain::brindleKey(), "RulesFilter", "3");
        MMain::SaveRegistrySettings(context, settings);
        const QString line = logLines().value(0);
        return refused && readOnly.readValue(MMain::brindleKey(), "RulesFilter") == u"2" &&
               line.startsWith("04/Dec/2026 09:15:02 VEXOBrindle.MMain.UpdateRegValue Error : "
                               "287 : ") &&
               line.endsWith(" ValueName :RulesFilter ValueData :3:");
    }));
}

} // namespace
