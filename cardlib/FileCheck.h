#pragma once

#include "Connection.h"

namespace TarvoCards {

// Opens the company file read-only and checks that it is one this library
// can use and that the login is accepted. Returns the file's country code;
// throws brindle::PlatformError saying why not.
int checkCompanyFile(const CConnectionSettings& settings, int timeoutSeconds);

// The checks of the layout and the login on an open file or server database.
int checkOpenCompanyFile(QSqlDatabase& db, const CConnectionSettings& settings);

} // namespace TarvoCards
