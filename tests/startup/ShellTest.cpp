#include "startup/Shell.h"

#include "ProgramFixture.h"
#include "startup/Settings.h"

#include <QFile>

namespace brindle {
namespace {

using ShellTest = test::ProgramFixture;

TEST_F(ShellTest, HelpOpensOnlyARegisteredFileThatExists)
{
    MMain::ShowHelp(context, "Summary");
    const QString help = folder.filePath("summary.html");
    ASSERT_TRUE(hive->writeValue(MMain::helpKey(), "Summary", help));
    MMain::ShowHelp(context, "Summary");
    EXPECT_TRUE(prompts.openedFiles.isEmpty()) << "the file does not exist yet";

    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    MMain::ShowHelp(context, "Process");
    MMain::ShowHelp(context, "Summary");
    EXPECT_EQ(prompts.openedFiles, QStringList{help});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
} // namespace brindle
