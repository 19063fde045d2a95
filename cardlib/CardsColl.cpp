#include "CardRows.h"
#include "Collections.h"
#include "Connection.h"

namespace TarvoCards {

bool CCardsColl::Load(const QString& filter, const QString& order)
{
    CConnection& connection = currentConnection();
    clear();
    try {
        loadCards(connection.database(),
                  CardQuery{filter, {}, order, connection.MaxCards, connection.MaxAddressLocation},
                  *this);
    } catch (const brindle::PlatformError& error) {
        clear();
        connection.setLastError(error);
        throw;
    }
    return true;
}

} // namespace TarvoCards
