#include "Commands.h"
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
    LoadGlobalSettings();
    out << "glRulesFilter=" << glRulesFilter << '\n'
        << "glDisableOutlookFolders=" << glDisableOutlookFolders << '\n'
        << "glTransferInactives=" << glTransferInactives << '\n'
        << "glCustomField1=" << glCustomField1 << '\n'
        << "glCustomField2=" << glCustomField2 << '\n'
        << "glCustomField3=" << glCustomField3 << '\n'
        << "gbShowOutlookWarning=" << booleanText(gbShowOutlookWarning) << '\n'
        << "gbShowBackupWarning=" << booleanText(gbShowBackupWarning) << '\n'
        << "gbSuppressReport=" << booleanText(gbSuppressReport) << '\n';
    return 0;
}

} // namespace brindle::cli
