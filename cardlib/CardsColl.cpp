#include "CardRows.h"
#include "Collections.h"
#include "Connection.h"
#include "Dialect.h"

namespace TarvoCards {

bool CCardsColl::Load(CConnection& connection, const QString& filter, const QString& order)
{
    clear();
    QSqlDatabase& db = connection.database();
    const Dialect& dialect = Dialect::of(db);
    try {
        // The cards and their addresses as one moment left them.
        dialect.beginSnapshot(db);
        loadCards(db,
                  CardQuery{filter, {}, order, connection.MaxCards, connection.MaxAddressLocation},
                  *this);
        dialect.endSnapshot(db);
    } catch (const brindle::PlatformError& error) {
        dialect.endSnapshot(db);
        clear();
        connection.setLastError(error);
        throw;
    }
    return true;
}

} // namespace TarvoCards
