#include "contactstore/ContactItem.h"
#include "review/FUpdateChoice.h"
#include "run/FProcess.h"
#include "startup/ErrorLog.h"
#include "startup/Prompts.h"

namespace brindle {

qint32 FProcess::ConfirmUpdate(TarvoCards::CCard& card,
                               const std::shared_ptr<contacts::ContactItem>& contact,
                               const Differences& differences, qint32 transferAction, bool newCard)
{
    FUpdateChoice dialog(m_prompts);
    qint32 answer = FUpdateChoice::NoAnswer;
    try {
        do {
            if (transferAction == 1) {
                dialog.objVEXOCard = card;
            } else {
                dialog.OutlookContact = contact;
            }
            dialog.setDifferences(differences);
            dialog.TransferAction = transferAction;
            dialog.NewVEXOCard = newCard;
            m_prompts.showUpdateChoice(dialog);
            answer = dialog.UserChoice;
        } while (answer == FUpdateChoice::NoAnswer);
        if (transferAction == 1 && dialog.objVEXOCard) {
            card = *dialog.objVEXOCard;
        }
    } catch (const std::exception& error) {
        // No answer: the caller stops the run.
        m_context.logError(QStringLiteral("FProcess.ConfirmUpdate"), error);
        answer = FUpdateChoice::NoAnswer;
    }
    dialog.Form_Unload();
    return answer;
}

} // namespace brindle
