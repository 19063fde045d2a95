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
        context.WriteLog(QStringLiteral("line"));
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
        context.WriteLog(written.last());
    }
    EXPECT_EQ(logLines(), written);
    QFile file(MMain::logFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("first"));
    EXPECT_FALSE(context.gbEncryptionActive);
}

} // namespace
