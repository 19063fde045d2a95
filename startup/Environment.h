#pragma once

#include <QString>

namespace brindle {
class ProgramContext;
struct RunSettings;
} // namespace brindle

namespace brindle::MMain {

// Fills the three product facts of the settings from HostExePath; returns glVEXOProduct.
qint32 GetVEXOProduct(RunSettings& settings);
// True when the contact store can be used: its root exists or can be made,
// and can be read and written. Says so to the user otherwise.
bool CheckOutlookInstallation(ProgramContext& context);
// True when the card library reports a driver of version 3000000 or later.
bool IsVEXOODBCInstalled(ProgramContext& context, RunSettings& settings);
// The driver installer beside the registered accounting executable, or "".
QString GetVEXOODBCPath(ProgramContext& context);
// True when the driver is installed and recent enough for the product.
// Offers the installer when it is missing; sets bExitApplication when the
// installer was launched.
bool CheckVEXOInstallation(ProgramContext& context, RunSettings& settings, bool& bExitApplication);
// Always True: the running processes are not inspected.
bool CheckIfVEXOIsRunning();

// App Paths\<exeName> under HKEY_LOCAL_MACHINE.
QString appPathsKey(const QString& exeName);

} // namespace brindle::MMain
