#pragma once

#include <QString>
#include <QStringList>

namespace TarvoCards {

class CConnection;

// Copies the stored cards of the given types, with their addresses, into a
// new backup file beside the company file and returns its path. The backup
// is a company file itself; it appears complete or not at all.
QString writeBackup(CConnection& connection, const QString& typeCode, const QStringList& types);

// Puts every card of a backup back into the company file as it was saved;
// cards added since the backup stay. Returns the number of cards restored;
// throws brindle::PlatformError and changes nothing on failure.
int restoreCards(const QString& companyFile, const QString& backupFile);

} // namespace TarvoCards
