#include "startup/Shell.h"

#include "ProgramFixture.h"
#include "startup/Settings.h"

#include <QFile>

namespace brindle {
namespace {

class ShellTest : public test::ProgramFixture
{};

TEST_F(ShellTest, LaunchFileNamesTheShellsFailure)
{
    const struct
    {
        qint32 code;
        const char* text; // nullptr: no message
    } rows[] = {{42, nullptr},         {33, nullptr},
                {32, "DLL not found"}, {31, "No association for file extension"},
                {2, "File not found"}, {5, "Access denied"},
                {0, "Unknown error"},  {4, "Unknown error"}};
    for (const auto& row : rows) {
        prompts.messages.clear();
        prompts.openFileCode = row.code;
        MMain::LaunchFile(QStringLiteral("/opt/help/ChooseAction.html"), {});
        if (!row.text) {
            EXPECT_TRUE(prompts.messages.isEmpty()) << row.code;
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1) << row.code;
        EXPECT_EQ(prompts.messages[0].text,
                  QLatin1String(row.text) + QLatin1String("\r\n/opt/help/ChooseAction.html"));
        EXPECT_EQ(prompts.messages[0].icon, Prompts::Icon::Information);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("VEXO Brindle"));
    }
}

TEST_F(ShellTest, HelpOpensOnlyARegisteredFileThatExists)
{
    MMain::ShowHelp(QStringLiteral("Summary"));
    const QString help = folder.filePath(QStringLiteral("summary.html"));
    ASSERT_TRUE(hive->writeValue(MMain::helpKey(), QStringLiteral("Summary"), help));
    MMain::ShowHelp(QStringLiteral("Summary"));
    EXPECT_TRUE(prompts.openedFiles.isEmpty()) << "the file does not exist yet";

    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    MMain::ShowHelp(QStringLiteral("Process"));
    MMain::ShowHelp(QStringLiteral("Summary"));
    EXPECT_EQ(prompts.openedFiles, QStringList{help});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
} // namespace brindle
