#include "run/FProcess.h"
#include "startup/ErrorLog.h"

namespace brindle {

namespace {

bool pending(const char* step)
{
    MMain::logError(QStringLiteral("FProcess.") + QLatin1String(step), 5,
                    QStringLiteral("Step not built yet"));
    return false;
}

} // namespace

bool FProcess::PopulateVEXODataObjects()
{
    return pending("PopulateVEXODataObjects");
}

bool FProcess::BackupExistingCards()
{
    return pending("BackupExistingCards");
}

bool FProcess::ImportToVEXO()
{
    return pending("ImportToVEXO");
}

} // namespace brindle
