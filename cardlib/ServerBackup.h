#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace TarvoCards {

// Copies the stored cards of the given types, with their addresses and the
// file information, into a new schema of the same server database named by
// the time ("brindle_backup_20261207_031500_c_4242") and returns its name.
// The schema holds a company file's tables; it appears whole or not at all.
QString writeServerBackup(QSqlDatabase& db, const QString& typeCode, const QStringList& types);

// Puts every card of a backup schema back into the company database at
// address as it was saved; cards added since stay. Returns the number of
// cards restored; throws brindle::PlatformError and changes nothing on failure.
int restoreServerCards(const QString& address, const QString& schema);

} // namespace TarvoCards
