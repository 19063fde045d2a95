#include "run/FProcess.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"

namespace brindle {

namespace {

quint64 deliveryKey(CardType type, qint32 cardRecordId)
{
    return quint64(type.id()) << 32 | quint32(cardRecordId);
}

} // namespace

bool FProcess::BackupExistingCards()
{
    bool result = true;
    if (!mobjVEXOConnection) {
        return result;
    }
    const auto backUp = [this, &result](TarvoCards::CTypeColl& cards, bool first) {
        if (!first && mbUserCancelled) {
            result = false;
        }
        if (!result) {
            return;
        }
        try {
            bool ok = false;
            cards.Backup(*mobjVEXOConnection, 0, 0, ok);
            result = ok; // no import runs without its backup
            keepDeliveries(cards);
        } catch (const std::exception& error) {
            m_context.logError(QStringLiteral("FProcess.BackupExistingCards"), error);
            result = false;
        }
    };
    m_storedDeliveries.clear();
    mobjCustomerColl = std::make_unique<TarvoCards::CCustomerColl>();
    mobjSupplierColl = std::make_unique<TarvoCards::CSupplierColl>();
    mobjPersonalColl = std::make_unique<TarvoCards::CPersonalColl>();
    mobjEmployeeColl = std::make_unique<TarvoCards::CEmployeeColl>();
    backUp(*mobjCustomerColl, true);
    DoEvents();
    backUp(*mobjPersonalColl, false);
    backUp(*mobjEmployeeColl, false);
    DoEvents();
    backUp(*mobjSupplierColl, false);
    return result;
}

void FProcess::keepDeliveries(TarvoCards::CTypeColl& cards)
{
    const std::optional<CardType> type = CardType::fromLetter(cards.cardTypeId());
    if (type) {
        m_storedDeliveries.reserve(m_storedDeliveries.size() + cards.Count());
        for (const TarvoCards::CImportCard& card : cards) {
            m_storedDeliveries.insert(deliveryKey(*type, card.CardRecordID),
                                      {card.InvoiceDeliveryID, card.PurchaseDeliveryID});
        }
    }
    cards.clear();
}

const FProcess::StoredDelivery* FProcess::storedDelivery(const QString& cardTypeId,
                                                         qint32 cardRecordId) const
{
    const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
    if (!type) {
        return nullptr;
    }
    const auto found = m_storedDeliveries.constFind(deliveryKey(*type, cardRecordId));
    return found == m_storedDeliveries.cend() ? nullptr : &*found;
}

} // namespace brindle
