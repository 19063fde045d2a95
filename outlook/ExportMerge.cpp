#include "accounting/CardRules.h"
#include "review/FSummary.h"
#include "run/FProcess.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"

namespace brindle {

namespace {

constexpr qint32 exportDirection = 2;
constexpr qint32 doNotUpdate = 2;
// CheckForDuplicate's mode that looks among the cards made from contacts.
constexpr qint32 amongContacts = 2;

} // namespace

bool FProcess::MergeCollections()
{
    bool result = true;
    try {
        mcolTransfer.clear();
        result = m_settings.glTransferAction == exportDirection ? MergeVEXO2Outlook()
                                                                : MergeOutlook2VEXO();
        mlTransferCount = qint32(mcolTransfer.size());
        setProgressValue(0);
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeCollections"), error);
        result = false;
    }
    return result;
}

bool FProcess::MergeVEXO2Outlook()
{
    bool result = true;
    try {
        if (!mobjExistingCards) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        result = mergeSelectedTypes(*mobjExistingCards, [this](const TarvoCards::CCard& card) {
            if (card.IsInactive == QLatin1String("Y") && m_settings.glTransferInactives != 1) {
                ++m_summary.tally.skipped;
            } else if (mlRulesFilter == doNotUpdate && CheckForDuplicate(amongContacts, card)) {
                rejectCard(card, duplicateCard);
            } else {
                mcolTransfer.push_back(card);
            }
        });
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeVEXO2Outlook"), error);
        result = false;
    }
    return result;
}

} // namespace brindle
