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
        result = m_run.mergeEach(*existingCards, [&](const TarvoCards::CCard& card) {
            std::optional<QString> refusal;
            if (card.IsInactive != QLatin1String("Y") || m_settings.glTransferInactives == 1) {
                const bool kept =
                    m_run.mlRulesFilter == RunSettings::KeepExisting && isDuplicate(card);
                refusal = kept ? duplicateCard : QString();
            }
            return refusal;
        });
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeVEXO2Outlook"), error);
        result = false;
    }
    return result;
}

} // namespace brindle
