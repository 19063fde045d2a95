#pragma once

#include "Connection.h"

namespace TarvoCards {

// Opens the server database settings.DataFile names on db (a QPSQL
// connection). The server's login comes from the address, then from
// libpq's environment (PGPASSFILE, PGSERVICE, ...), then the company file's
// own password. Throws brindle::PlatformError with the reason: a refused
// login, a missing database, a server that does not answer.
void openServerDatabase(QSqlDatabase& db, const CConnectionSettings& settings, int waitSeconds);

} // namespace TarvoCards
