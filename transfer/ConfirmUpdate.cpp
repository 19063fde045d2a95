#include "RunState.h"
#include "contactstore/ContactItem.h"
#include "dialogs/FUpdateChoice.h"
#include "startup/ErrorLog.h"
#include "startup/Prompts.h"
#include "startup/RunSettings.h"

namespace brindle {

qint32 RunState::ConfirmUpdate(TarvoCards::CCard& card,
                               const std::shared_ptr<contacts::ContactItem>& contact,
                               const Differences& differences, qint32 transferAction, bool newCard)
{
    FUpdateChoice dialog(prompts);
    qint32 answer = FUpdateChoice::NoAnswer;
    try {
        do {
            if (transferAction == RunSettings::Import) {
                dialog.objVEXOCard = card;
            } else {
                dialog.OutlookContact = contact;
            }
            dialog.setDifferences(differences);
            dialog.TransferAction = transferAction;
            dialog.NewVEXOCard = newCard;
            prompts.showUpdateChoice(dialog);
            answer = dialog.UserChoice;
        } while (answer == FUpdateChoice::NoAnswer);
        if (transferAction == RunSettings::Import && dialog.objVEXOCard) {
            card = *dialog.objVEXOCard;
        }
    } catch (const std::exception& error) {
        // No answer: the caller stops the run.
        context.logError(QStringLiteral("FProcess.ConfirmUpdate"), error);
        answer = FUpdateChoice::NoAnswer;
    }
    dialog.Form_Unload();
    return answer;
}

} // namespace brindle
