#include "ProgramFixture.h"
#include "TableFile.h"
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
    enableLog();
    QStringList written;
    for (const QStringList& row : test::tableRows("log-messages.txt")) {
        written.append(row[0]);
        context.WriteLog(row[0]);
    }
    EXPECT_EQ(logLines(), written);
    QFile file(MMain::logFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("first"));
    EXPECT_FALSE(context.gbEncryptionActive);
}

} // namespace
