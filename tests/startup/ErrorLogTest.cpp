#include "ProgramFixture.h"
#include "platform/PlatformError.h"
#include "startup/DateTexts.h"
#include "startup/Settings.h"

#include <QFileInfo>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

QByteArray cipher(const QByteArray& text, qint32 shift)
{
    MMain::gbEncryptionActive = true;
    const QByteArray result = MMain::EncryptDecrypt(text, false, shift);
    MMain::gbEncryptionActive = false;
    return result;
}

TEST(ErrorLogCipher, InactiveReturnsTextUnchanged)
{
    MMain::gbEncryptionActive = false;
    EXPECT_EQ(MMain::EncryptDecrypt(QByteArray("plain"), false, 32), QByteArray("plain"));
    EXPECT_EQ(MMain::EncryptDecrypt(QStringLiteral("plain"), true, 32), QStringLiteral("plain"));
}

TEST(ErrorLogCipher, FirstCharacterUsesSecondKeyLetter)
{
    // Second key "RGJ...": 'A' (65) XOR 'G' (71) = 6, plus 32 = '&'.
    EXPECT_EQ(cipher("A", 32), QByteArray("&"));
    // 'A' XOR 'J' (74) = 11, plus 32 = '+'.
    EXPECT_EQ(cipher("AA", 32), QByteArray("&+"));
}

TEST(ErrorLogCipher, EmptyOrSingleBlankGivesEmpty)
{
    EXPECT_EQ(cipher("", 32), QByteArray());
    EXPECT_EQ(cipher(" ", 32), QByteArray());
}

TEST(ErrorLogCipher, KeyWrapsAfterFiftyEightCharacters)
{
    // Character 58 uses key letter 1, character 59 letter 2 again.
    const QByteArray text(59, 'A');
    const QByteArray enciphered = cipher(text, 32);
    EXPECT_EQ(enciphered[58], enciphered[0]);
    EXPECT_EQ(quint8(enciphered[57]), quint8(('A' ^ 'R') + 32));
}

TEST(ErrorLogCipher, EveryByteRoundTrips)
{
    QByteArray all;
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (int code = 0; code < 256; ++code) {
            all.append(char(code));
        }
    }
    const QByteArray enciphered = cipher(all, 32);
    EXPECT_EQ(enciphered.size(), all.size()); // bytes of 224 and more keep the line
    EXPECT_EQ(cipher(enciphered, -32), all);
}

TEST(ErrorLogCipher, PrintableAsciiNeverWraps)
{
    QByteArray printable;
    for (char c = ' '; c <= '~'; ++c) {
        printable.append(c);
    }
    const QByteArray enciphered = cipher(printable, 32);
    for (char c : enciphered) {
        EXPECT_GE(quint8(c), 32);
    }
    EXPECT_EQ(cipher(enciphered, -32), printable);
}

class ErrorLogWrite : public ProgramFixture
{};

TEST_F(ErrorLogWrite, MissingSwitchIsSetFalseAndNothingWritten)
{
    MMain::WriteLog(QStringLiteral("hello"));
    EXPECT_EQ(brindleValue(QStringLiteral("LogFile")), QStringLiteral("FALSE"));
    EXPECT_FALSE(QFileInfo::exists(MMain::logFilePath()));
}

TEST_F(ErrorLogWrite, OnlyTrueInAnyCaseSwitchesLoggingOn)
{
    const struct
    {
        const char* value;
        bool on;
    } cases[] = {{"true", true}, {"True", true}, {" TRUE ", true}, {"1", false}, {"YES", false}};
    for (const auto& c : cases) {
        QFile::remove(MMain::logFilePath());
        setBrindleValue(QStringLiteral("LogFile"), QString::fromLatin1(c.value));
        MMain::WriteLog(QStringLiteral("line"));
        EXPECT_EQ(QFileInfo::exists(MMain::logFilePath()), c.on) << c.value;
    }
}

TEST_F(ErrorLogWrite, LinesAreEncipheredAndAppended)
{
    enableLog();
    MMain::WriteLog(QStringLiteral("first"));
    MMain::WriteLog(QStringLiteral(" "));
    MMain::WriteLog(QStringLiteral("Zoë Ångström"));
    QFile file(MMain::logFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("first"));
    EXPECT_EQ(logLines(),
              (QStringList{QStringLiteral("first"), QString(), QStringLiteral("Zoë Ångström")}));
    EXPECT_FALSE(MMain::gbEncryptionActive);
}

TEST_F(ErrorLogWrite, ErrorLineHasTheCommonFormat)
{
    EXPECT_EQ(
        MMain::errorLine(QStringLiteral("MMain.GetRegValue"), 13, QStringLiteral("Type mismatch")),
        QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.MMain.GetRegValue Error : 13 : "
                       "Type mismatch"));
    const PlatformError error(ErrorNumber::NotFound, QStringLiteral("Folder not found"));
    EXPECT_EQ(MMain::errorLine(QStringLiteral("FProcess.X"), error),
              QStringLiteral("04/Dec/2026 09:15:02 VEXOBrindle.FProcess.X Error : -2147221233 : "
                             "Folder not found"));
}

TEST(ErrorLogTimeStamp, SeparatorsAndMonthFollowTheLocaleHoursRunToTwentyThree)
{
    const QLocale before;
    const struct
    {
        QLocale locale;
        QTime time;
        const char* expected;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedKingdom), {9, 15, 2}, "04/Dec/2026 09:15:02"},
        {QLocale(QLocale::German, QLocale::Germany), {9, 15, 2}, "04.Dez.2026 09:15:02"},
        {QLocale(QLocale::English, QLocale::UnitedStates), {21, 5, 9}, "04/Dec/2026 21:05:09"},
        {QLocale(QLocale::Dutch, QLocale::Netherlands), {0, 0, 0}, "04-dec-2026 00:00:00"},
        {QLocale(QLocale::Finnish, QLocale::Finland), {23, 59, 59}, "04.joulu.2026 23.59.59"},
        {QLocale(QLocale::Korean, QLocale::SouthKorea), {13, 1, 2}, "04.12월.2026 13:01:02"},
    };
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        EXPECT_EQ(logTimeStampText(QDateTime(QDate(2026, 12, 4), c.time)),
                  QString::fromUtf8(c.expected))
            << c.locale.name().toStdString();
    }
    QLocale::setDefault(before);
}

TEST_F(ErrorLogWrite, UnwritableLogLosesOnlyTheMessage)
{
    enableLog();
    qputenv("BRINDLE_APP_DIR", "/nonexistent/folder");
    MMain::WriteLog(QStringLiteral("lost"));
    qputenv("BRINDLE_APP_DIR", folder.path().toUtf8());
    MMain::WriteLog(QStringLiteral("kept"));
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("kept")});
}

} // namespace
