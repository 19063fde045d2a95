#include "ContactSide.h"
#include "contactstore/Application.h"
#include "run/FProcess.h"
#include "runs/RunRecord.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"

namespace brindle {

bool FProcess::OpenOutlookConnection()
{
    try {
        if (!mobjOutlookApp) {
            mobjOutlookApp = contacts::createObject(QStringLiteral("Outlook.Application"));
            mobjOutlookApp->setJournal(m_record.get());
        }
        if (!mobjOutlookNS) {
            mobjOutlookNS = mobjOutlookApp->GetNamespace(QStringLiteral("MAPI"))->Session();
        }
        logTrace(m_context, "OpenOutlookConnection", QStringLiteral("Outlook Objects Created."));
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.OpenOutlookConnection"), error);
        return false;
    }
}

// Each folder is ensured on its own, so one that cannot be made leaves the others.
bool FProcess::CreateOutlookFolders()
{
    bool result = OpenOutlookConnection();
    if (!usesTypeFolders(m_settings)) {
        return result;
    }
    const auto failed = [this, &result](const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.CreateOutlookFolders"), error);
        result = false;
    };
    std::shared_ptr<contacts::Folder> objContactFolder;
    try {
        if (!mobjOutlookNS) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        objContactFolder = mobjOutlookNS->GetDefaultFolder(olFolderContacts);
    } catch (const std::exception& error) {
        failed(error);
        return result;
    }
    for (const CardType type : folderOrder) {
        const QString name = type.folderName(m_settings.gsSupplierWord);
        try {
            if (!subFolder(*objContactFolder, name)) {
                objContactFolder->Folders().Add(name, olFolderContacts);
            }
        } catch (const std::exception& error) {
            failed(error);
        }
    }
    return result;
}

} // namespace brindle
