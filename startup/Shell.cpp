#include "Shell.h"

#include "MMain.h"
#include "ProgramContext.h"
#include "Prompts.h"
#include "Settings.h"

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
    switch (code) {
    case 2:
        return QStringLiteral("File not found");
    case 3:
        return QStringLiteral("Path not found");
    case 5:
        return QStringLiteral("Access denied");
    case 8:
        return QStringLiteral("Out of memory");
    case 11:
        return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26:
        return QStringLiteral("A sharing violation occurred");
    case 27:
        return QStringLiteral("Incomplete or invalid file association");
    case 28:
        return QStringLiteral("DDE Time out");
    case 29:
        return QStringLiteral("DDE transaction failed");
    case 30:
        return QStringLiteral("DDE busy");
    case 31:
        return QStringLiteral("No association for file extension");
    case 32:
        return QStringLiteral("DLL not found");
    default:
        return QStringLiteral("Unknown error");
    }
}

void ShowHelp(ProgramContext& context, const QString& screen)
{
    const QString path = GetRegValue(context, HKEY_LOCAL_MACHINE, helpKey(), screen);
    if (!path.isEmpty() && FileExists(path)) {
        LaunchFile(context, path, QString());
    }
}

} // namespace brindle::MMain
