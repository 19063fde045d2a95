#include "Shell.h"

#include "MMain.h"
#include "ProgramContext.h"
#include "Prompts.h"
#include "Settings.h"

#include <utility>

namespace brindle::MMain {

qint32 ExecuteFile(ProgramContext& context, const QString& sFile, const QString& sParameters)
{
    return context.prompts().openFile(sFile, sParameters);
}

void LaunchFile(ProgramContext& context, const QString& sFile, const QString& sParameters)
{
    const qint32 code = ExecuteFile(context, sFile, sParameters);
    if (code <= 32) {
        context.prompts().messageBox(shellErrorText(code) + QLatin1String("\r\n") + sFile,
                                     Prompts::Buttons::Ok, Prompts::Icon::Information,
                                     QStringLiteral("VEXO Brindle"));
    }
}

QString shellErrorText(qint32 code)
{
    static constexpr std::pair<qint32, const char*> texts[] = {
        {2, "File not found"},
        {3, "Path not found"},
        {5, "Access denied"},
        {8, "Out of memory"},
        {11, "Invalid EXE file or error in EXE image"},
        {26, "A sharing violation occurred"},
        {27, "Incomplete or invalid file association"},
        {28, "DDE Time out"},
        {29, "DDE transaction failed"},
        {30, "DDE busy"},
        {31, "No association for file extension"},
        {32, "DLL not found"},
    };
    for (const auto& [known, text] : texts) {
        if (known == code) {
            return QString::fromLatin1(text);
        }
    }
    return QStringLiteral("Unknown error");
}

void ShowHelp(ProgramContext& context, const QString& screen)
{
    const QString path = GetRegValue(context, HKEY_LOCAL_MACHINE, helpKey(), screen);
    if (!path.isEmpty() && FileExists(path)) {
        LaunchFile(context, path, QString());
    }
}

} // namespace brindle::MMain
