#pragma once

#include "clsOptions.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace brindle {

class InstanceGuard;
class Registry;
class Prompts;

namespace MMain {

// Process-wide state of the program.
inline std::unique_ptr<clsOptions> gobjOptions;
inline bool gbExiting = false;
inline bool gbCategoryWarningShown = false;

// Settings, loaded from the registry at start-up and written back before
// every run and at shutdown.
inline qint32 glRulesFilter = 0;
inline qint32 glDisableOutlookFolders = 0;
inline qint32 glTransferInactives = 0;
inline qint32 glCustomField1 = 0;
inline qint32 glCustomField2 = 0;
inline qint32 glCustomField3 = 0;
inline bool gbShowOutlookWarning = false;
inline bool gbShowBackupWarning = false;
inline bool gbSuppressReport = false;

// Direction of the run: 1 import into the company file, 2 export.
inline qint32 glTransferAction = 0;

// "Supplier", or "Vendor" for a company file of the United States.
inline QString gsSupplierWord = QStringLiteral("Supplier");

// Where the program meets its platform: the registry, the user's prompts
// and the clock. The front ends set them; tests set their own. Without
// prompts set, every question fails loudly (log, standard error, and a
// PlatformError) rather than being answered for the user.
Registry& registry();
void setRegistry(Registry* registry);
Prompts& prompts();
void setPrompts(Prompts* prompts);
QDateTime now();
void setClock(std::function<QDateTime()> clock);
// The previous-instance test: by default one guard per user named after
// the executable. Tests set their own.
InstanceGuard& instanceGuard();
void setInstanceGuard(InstanceGuard* guard);
// The previous-instance test is the wizard's; brindle-cli turns it off and
// locks only what its run writes.
void setPreviousInstanceTest(bool on);

// Puts every global back to its state at program start.
void resetGlobals();

// The screen a front end opens after Main.
enum class FirstScreen
{
    None,        // the program ends
    Information, // FMain, shown modelessly; closing it ends the program
    ChooseAction // FChooseAction, shown modelessly
};
FirstScreen Main(const QString& commandLine);
// True when shutdown began with this call: the front end then unloads
// every open form (whose handlers call ExitApplication again).
bool ExitApplication();
bool CheckApplicationFiles();
bool FileExists(const QString& path);
bool InitialiseCommonControls();
// The companion card library that must lie in the program folder (an
// installed program: in its private library folder).
QString companionFileName();

} // namespace MMain
} // namespace brindle
