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

bool FProcess::CheckForDuplicate(qint32, const TarvoCards::CCard&)
{
    return pending("CheckForDuplicate");
}

bool FProcess::MergeOutlook2VEXO()
{
    return pending("MergeOutlook2VEXO");
}

} // namespace brindle
