#include "Commands.h"
#include "registry/IniHive.h"
#include "startup/MMain.h"
#include "startup/Settings.h"
#include "startup/TextHelpers.h"

namespace brindle::cli {

int settingsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        err << "brindle-cli settings: takes no arguments\n";
        return UsageError;
    }
    using namespace MMain;
    // Only reads: not even the log switch's default may be written back.
    IniHive hive(IniHive::defaultFileName(), IniHive::Access::ReadOnly);
    bool problems = false;
    hive.setProblemReporter([&](const QString& problem) {
        err << "brindle-cli settings: " << problem << '\n';
        problems = true;
    });
    ProgramContext context({.registry = &hive});
    RunSettings s;
    LoadGlobalSettings(context, s);
    out << "glRulesFilter=" << s.glRulesFilter << '\n'
        << "glDisableOutlookFolders=" << s.glDisableOutlookFolders << '\n'
        << "glTransferInactives=" << s.glTransferInactives << '\n'
        << "glCustomField1=" << s.glCustomField1 << '\n'
        << "glCustomField2=" << s.glCustomField2 << '\n'
        << "glCustomField3=" << s.glCustomField3 << '\n'
        << "gbShowOutlookWarning=" << booleanText(s.gbShowOutlookWarning) << '\n'
        << "gbShowBackupWarning=" << booleanText(s.gbShowBackupWarning) << '\n'
        << "gbSuppressReport=" << booleanText(s.gbSuppressReport) << '\n';
    return problems ? 1 : 0;
}

} // namespace brindle::cli
