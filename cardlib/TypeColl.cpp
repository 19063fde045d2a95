#include "Backup.h"
#include "CardImporter.h"
#include "CardRows.h"
#include "Collections.h"
#include "Connection.h"
#include "Dialect.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "ServerBackup.h"
#include "SqlUtil.h"

#include <deque>
#include <optional>

namespace TarvoCards {

namespace {

bool isUnitedStates(CConnection& connection)
{
    return connection.Settings().CountryCode() == countryUnitedStates;
}

// The stored types a collection covers: suppliers are "V" in a United States file.
QStringList storedTypes(const QString& typeCode)
{
    if (typeCode == QLatin1String("S")) {
        return {QStringLiteral("S"), QStringLiteral("V")};
    }
    return {typeCode};
}

void rollBack(QSqlDatabase& db)
{
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
}

} // namespace

bool CTypeColl::Import(CConnection& connection)
{
    if (!connection.IsConnected()) {
        return false;
    }
    QSqlDatabase& db = connection.database();
    const QString newType = m_cardTypeId == QLatin1String("S") && isUnitedStates(connection)
                                ? QStringLiteral("V")
                                : m_cardTypeId;
    // In blocks, not one piece: the room a run has just freed can take it.
    const std::deque<CImportCard> before(begin(), end());
    std::optional<CardImporter> importer; // its statements go after the rollback
    try {
        // Lock first: on a server, preparing a write waits for another writer too.
        Dialect::of(db).beginWrite(db, connection.WriteLockTimeout,
                                   displayName(connection.Settings().DataFile));
        importer.emplace(db, storedTypes(m_cardTypeId), newType, connection.journal());
        for (CImportCard& item : *this) {
            importer->write(item);
            emit ImportComplete(QVariant());
        }
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (const brindle::PlatformError& error) {
        rollBack(db);
        std::copy(before.begin(), before.end(), begin());
        connection.setLastError(error);
        keysChanged();
        return false;
    }
    keysChanged();
    return true;
}

void CTypeColl::Backup(CConnection& connection, int, int, bool& ok)
{
    ok = false;
    clear();
    const QStringList types = storedTypes(m_cardTypeId);
    try {
        loadDeliveries(connection.database(),
                       CardQuery{QStringLiteral("CardTypeID IN (?, ?)"),
                                 {types.value(0), types.value(types.size() - 1)},
                                 QStringLiteral("CardRecordID")},
                       *this);
        m_backupPath = Dialect::of(connection.database()).server
                           ? writeServerBackup(connection.database(), m_cardTypeId, types)
                           : writeBackup(connection, m_cardTypeId, types);
    } catch (const brindle::PlatformError& error) {
        clear();
        connection.setLastError(error);
        throw;
    }
    ok = true;
}

} // namespace TarvoCards
