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
    Registry& previous = registry();
    setRegistry(&hive);
    LoadGlobalSettings();
    setRegistry(&previous);
    out << "glRulesFilter=" << glRulesFilter << '\n'
        << "glDisableOutlookFolders=" << glDisableOutlookFolders << '\n'
        << "glTransferInactives=" << glTransferInactives << '\n'
        << "glCustomField1=" << glCustomField1 << '\n'
        << "glCustomField2=" << glCustomField2 << '\n'
        << "glCustomField3=" << glCustomField3 << '\n'
        << "gbShowOutlookWarning=" << booleanText(gbShowOutlookWarning) << '\n'
        << "gbShowBackupWarning=" << booleanText(gbShowBackupWarning) << '\n'
        << "gbSuppressReport=" << booleanText(gbSuppressReport) << '\n';
    return problems ? 1 : 0;
}

} // namespace brindle::cli
