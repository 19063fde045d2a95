#pragma once

#include <QString>

namespace brindle::MMain {

// The accounting product that started the program, as GetVEXOProduct found it.
inline qint32 glVEXOProduct = 0; // 1 VEXO.exe, 2 VEXOP.exe, 0 anything else
inline QString gsHostExeName;    // "VEXOP.exe"
inline QString gsHostExeVersion; // "15.2.1.3", or "" without a version resource
// The installed driver's version; its millions are the major version.
inline double gdODBCVersion = 0;

// Fills the three product globals from HostExePath; returns glVEXOProduct.
qint32 GetVEXOProduct();
// True when the contact store can be used: its root exists or can be made,
// and can be read and written. Says so to the user otherwise.
bool CheckOutlookInstallation();
// True when the card library reports a driver of version 3000000 or later.
bool IsVEXOODBCInstalled();
// The driver installer beside the registered accounting executable, or "".
QString GetVEXOODBCPath();
// True when the driver is installed and recent enough for the product.
// Offers the installer when it is missing; sets bExitApplication when the
// installer was launched.
bool CheckVEXOInstallation(bool& bExitApplication);
// Always True: the running processes are not inspected.
bool CheckIfVEXOIsRunning();

// App Paths\<exeName> under HKEY_LOCAL_MACHINE.
QString appPathsKey(const QString& exeName);

} // namespace brindle::MMain
