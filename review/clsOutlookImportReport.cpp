#include "clsOutlookImportReport.h"

#include "startup/CardType.h"

namespace brindle {

clsOutlookImportReport::clsOutlookImportReport(ProgramContext& context)
    : ImportReportWriter(reportWording(ImportReport::Outlook), context)
{}

bool clsOutlookImportReport::CreateReport()
{
    return gatherAndGenerate({{m_added != nullptr, [this] { return AddAddedDetails(); }},
                              {m_updated != nullptr, [this] { return AddUpdatedDetails(); }},
                              {m_rejected != nullptr, [this] { return AddRejectedDetails(); }}});
}

bool clsOutlookImportReport::AddDetails(const CardList* cards, qint32 status)
{
    if (!detail()) {
        return false;
    }
    if (!cards) {
        return true;
    }
    for (const TarvoCards::CCard& card : *cards) {
        try {
            // An updated contact is only worth a row when it has something to say.
            if (!ShowUpdatedCards() && status == 2 && isBlank(card.TransferMessage)) {
                continue;
            }
            DetailRecord record = recordOf(card, CardTypeID2EnumValue(card.CardTypeID));
            record.Errors = card.TransferMessage;
            record.Status = status;
            detail()->append(std::move(record));
        } catch (const std::exception& error) {
            logFailure("AddDetails", error);
        }
    }
    return true;
}

qint32 clsOutlookImportReport::CardTypeID2EnumValue(const QString& cardTypeId)
{
    return reportCodeOf(cardTypeId);
}

} // namespace brindle
