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
    return MMain::EncryptDecrypt(text, false, shift);
}

TEST(ErrorLogCipher, HandComputedLinesWhateverTheSwitch)
{
    const struct
    {
        QByteArray plain;
        bool firstKey;
        qint32 shift;
        QByteArray enciphered;
    } cases[] = {
        // Second key "RGJ...": 'A' (65) XOR 'G' (71) = 6, plus 32 = '&'.
        {"A", false, 32, "&"},
        // 'A' XOR 'J' (74) = 11, plus 32 = '+'.
        {"AA", false, 32, "&+"},
        // First key "TCY...": 'A' XOR 'C' (67) = 2, plus 32 = '"'.
        {"A", true, 32, "\""},
        // The bare exclusive-or.
        {"A", false, 0, "\x06"},
        // 0xE4 XOR 'G' = 0xA3: 128 or more, so a pair of its halves.
        {"\xE4", false, 32, "\xAA\xA3"},
        {"\xE4"
         "A",
         false, 32, "\xAA\xA3+"},
        {"", false, 32, ""},
        {" ", false, 32, ""},
    };
    for (const bool active : {false, true}) {
        MMain::gbEncryptionActive = active;
        for (const auto& c : cases) {
            EXPECT_EQ(MMain::EncryptDecrypt(c.plain, c.firstKey, c.shift), c.enciphered)
                << c.plain.toHex().toStdString();
            if (c.shift != 0 && c.plain != " ") {
                EXPECT_EQ(MMain::EncryptDecrypt(c.enciphered, c.firstKey, -c.shift), c.plain)
                    << c.plain.toHex().toStdString();
            }
        }
    }
    MMain::gbEncryptionActive = false;
}

TEST(ErrorLogCipher, DamagedPairsDecipherAsReplacementCharacters)
{
    const struct
    {
        QByteArray line;
        const char* text;
    } cases[] = {
        {"\xAA", "\uFFFD"},           // first half without its second
        {"\xA3\xA3", "\uFFFD\uFFFD"}, // no pair begins below 0xA8
        {"\xAA&", "\uFFFDL"},         // the second half is no pair byte: & - 32 XOR J
        {"\xFF", "\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MMain::decipherLogLine(c.line), QString::fromUtf8(c.text))
            << c.line.toHex().toStdString();
    }
}

TEST(ErrorLogCipher, KeyWrapsAfterFiftyEightCharacters)
{
    // Character 58 uses key letter 1, character 59 letter 2 again.
    const QByteArray text(59, 'A');
    const QByteArray enciphered = cipher(text, 32);
    EXPECT_EQ(enciphered[58], enciphered[0]);
    EXPECT_EQ(quint8(enciphered[57]), quint8(('A' ^ 'R') + 32));
}

TEST(ErrorLogCipher, EveryByteRoundTripsAndNoneBecomesACodeBelow32)
{
    QByteArray all;
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (int code = 0; code < 256; ++code) {
            all.append(char(code));
        }
    }
    const QByteArray enciphered = cipher(all, 32);
    EXPECT_EQ(enciphered.size(), all.size() + 3 * 128); // every byte of 128 and more is a pair
    for (char c : enciphered) {
        ASSERT_GE(quint8(c), 32);
    }
    EXPECT_EQ(cipher(enciphered, -32), all);
}

class ErrorLogWrite : public ProgramFixture
{};

TEST_F(ErrorLogWrite, OnlyTrueInAnyCaseSwitchesLoggingOnAndAMissingSwitchIsSetFalse)
{
    const struct
    {
        const char* value; // nullptr: no switch
        bool on;
    } cases[] = {{nullptr, false}, {"true", true}, {"True", true},
                 {" TRUE ", true}, {"1", false},   {"YES", false}};
    for (const auto& c : cases) {
        QFile::remove(MMain::logFilePath());
        if (c.value) {
            setBrindleValue(QStringLiteral("LogFile"), QString::fromLatin1(c.value));
        }
        MMain::WriteLog(QStringLiteral("line"));
        EXPECT_EQ(QFileInfo::exists(MMain::logFilePath()), c.on) << c.value;
        if (!c.value) {
            EXPECT_EQ(brindleValue(QStringLiteral("LogFile")), QStringLiteral("FALSE"));
        }
    }
}

TEST_F(ErrorLogWrite, LinesAreEncipheredAppendedAndReadBackWhole)
{
    const char* const messages[] = {
        "first",
        "04/Dec/2026 09:15:02 VEXOBrindle.MMain.GetRegValue Error : 287 : Permission denied: "
        "/home/clerk/aaa\u4eb2.ini",
        "CR LF inside\r\nstays one line",
        "lone\nLF and lone\rCR",
        "\x1b]0;title\x07 and tab\t",
        "\u00ff\u00e0\u00e1 \U0001f600 \u4eb2\u4eb2\u4eb2\u4eb2",
        "\x7f\x01\x1f"};
    enableLog();
    QStringList written;
    for (const char* message : messages) {
        written.append(QString::fromUtf8(message));
        MMain::WriteLog(written.last());
    }
    EXPECT_EQ(logLines(), written);
    QFile file(MMain::logFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("first"));
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
