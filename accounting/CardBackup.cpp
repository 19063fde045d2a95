#include "run/FProcess.h"
#include "startup/CardType.h"
#include "startup/ErrorLog.h"

namespace brindle {

namespace {

// The run reads only the delivery settings of the saved cards; the backup
// file holds the rest, so a large company file is not held twice.
void keepDeliveryOnly(TarvoCards::CTypeColl& cards)
{
    for (TarvoCards::CImportCard& card : cards) {
        TarvoCards::CImportCard kept;
        kept.CardRecordID = card.CardRecordID;
        kept.CardTypeID = card.CardTypeID;
        kept.InvoiceDeliveryID = card.InvoiceDeliveryID;
        kept.PurchaseDeliveryID = card.PurchaseDeliveryID;
        card = std::move(kept);
    }
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
            cards.Backup(0, 0, ok);
            result = ok; // no import runs without its backup
            keepDeliveryOnly(cards);
        } catch (const std::exception& error) {
            MMain::logError(QStringLiteral("FProcess.BackupExistingCards"), error);
            result = false;
        }
    };
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

TarvoCards::CTypeColl* FProcess::backupCollection(const QString& cardTypeId) const
{
    const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
    if (!type) {
        return nullptr;
    }
    switch (type->id()) {
    case CardType::Customer:
        return mobjCustomerColl.get();
    case CardType::Supplier:
        return mobjSupplierColl.get();
    case CardType::Employee:
        return mobjEmployeeColl.get();
    case CardType::Personal:
        return mobjPersonalColl.get();
    }
    return nullptr;
}

} // namespace brindle
