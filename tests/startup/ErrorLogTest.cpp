#include "ProgramFixture.h"
#include "platform/PlatformError.h"
#include "startup/DateTexts.h"
#include "startup/Settings.h"

#include <QFileInfo>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

using ErrorLogWrite = ProgramFixture;

TEST_F(ErrorLogWrite, OnlyTrueInAnyCaseSwitchesLoggingOnAndAMissingSwitchIsSetFalse)
{
    const std::pair<const char*, bool> cases[] = {{nullptr, false}, {"true", true}, {"True", true},
                                                  {" TRUE ", true}, {"1", false},   {"YES", false}};
    for (const auto& [value, on] : cases) {
        QFile::remove(MMain::logFilePath());
        if (value) {
            setBrindleValue("LogFile", QString::fromLatin1(value));
        }
        context.WriteLog("line");
        EXPECT_EQ(QFileInfo::exists(MMain::logFilePath()), on) << value;
        EXPECT_TRUE(value || brindleValue("LogFile") == u"FALSE");
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
