#include "Commands.h"
#include "startup/MMain.h"
#include "startup/Settings.h"

namespace brindle::cli {

int settingsCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (!args.isEmpty()) {
        err << "brindle-cli settings: takes no arguments\n";
        return UsageError;
    }
    using namespace MMain;
    LoadGlobalSettings();
    const auto boolean = [](bool value) { return value ? "True" : "False"; };
    out << "glRulesFilter=" << glRulesFilter << '\n'
        << "glDisableOutlookFolders=" << glDisableOutlookFolders << '\n'
        << "glTransferInactives=" << glTransferInactives << '\n'
        << "glCustomField1=" << glCustomField1 << '\n'
        << "glCustomField2=" << glCustomField2 << '\n'
        << "glCustomField3=" << glCustomField3 << '\n'
        << "gbShowOutlookWarning=" << boolean(gbShowOutlookWarning) << '\n'
        << "gbShowBackupWarning=" << boolean(gbShowBackupWarning) << '\n'
        << "gbSuppressReport=" << boolean(gbSuppressReport) << '\n';
    return 0;
}

} // namespace brindle::cli
