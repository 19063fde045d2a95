#include "ContactSide.h"
#include "dialogs/FSummary.h"
#include "platform/PlatformError.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "transfer/TransferMessages.h"

namespace brindle {

bool ContactSide::MergeVEXO2Outlook(const TarvoCards::CCardsColl* existingCards,
                                    const CardCheck& isDuplicate)
{
    bool result = true;
    try {
        if (!existingCards) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        const double step = 100.0 / qMax(m_run.mlTotalCards, 1);
        for (const TarvoCards::CCard& card : std::as_const(*existingCards)) {
            const std::optional<CardType> type = CardType::fromLetter(card.CardTypeID);
            const bool included =
                type &&
                type->selectedBy(m_run.mbCustomers, m_run.mbSuppliers, m_run.mbEmployees,
                                 m_run.mbPersonal) &&
                (card.IsInactive != QLatin1String("Y") || m_settings.glTransferInactives == 1);
            std::optional<QString> refusal;
            if (included) {
                const bool kept =
                    m_run.mlRulesFilter == RunSettings::KeepExisting && isDuplicate(card);
                refusal = kept ? duplicateCard : QString();
            }
            if (!m_run.merged(card, refusal, step)) {
                result = false;
                break;
            }
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeVEXO2Outlook"), error);
        result = false;
    }
    return result;
}

} // namespace brindle
