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

bool FProcess::CreateOutlookFolders()
{
    return pending("CreateOutlookFolders");
}

bool FProcess::PopulateOutlookDataObjects()
{
    return pending("PopulateOutlookDataObjects");
}

bool FProcess::ImportToOutlook()
{
    return pending("ImportToOutlook");
}

} // namespace brindle

namespace brindle {

bool FProcess::MergeCollections()
{
    MMain::logError(QStringLiteral("FProcess.MergeCollections"), 5,
                    QStringLiteral("Step not built yet"));
    return false;
}

} // namespace brindle
