#include "CardRules.h"
#include "platform/AppInfo.h"
#include "review/FSummary.h"
#include "review/clsVEXOImportReport.h"
#include "run/FProcess.h"
#include "startup/CardType.h"
#include "startup/Environment.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/TextHelpers.h"

#include <utility>

namespace brindle {

namespace {

using TarvoCards::CCard;
using TarvoCards::CImportCard;
using TarvoCards::CTypeColl;

constexpr qint32 importDirection = 1;
constexpr qint32 doNotUpdate = 2;

// The types in the order they are written.
const CardType writingOrder[] = {CardType::Customer, CardType::Employee, CardType::Supplier,
                                 CardType::Personal};

QString cardsWord(CardType type, const QString& supplierWord)
{
    return type == CardType::Supplier ? supplierWord : type.word(QString());
}

} // namespace

bool FProcess::MergeOutlook2VEXO()
{
    if (m_settings.glTransferAction != importDirection) {
        return true;
    }
    bool result = true;
    // The import reads no contact again: only the cards made from them.
    mobjOutlookNS.reset();
    mobjOutlookApp.reset();
    try {
        mcolRejected.clear();
        if (!mobjOutlookColl) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        QSet<qint32> claimed; // cards a queued contact is linked to
        result = mergeSelectedTypes(*mobjOutlookColl, [&](const CCard& card) {
            QString refusal;
            if (card.TransferMessage == unreadableContact) {
                refusal = unreadableContact;
            } else if (mlRulesFilter == doNotUpdate && CheckForDuplicate(1, card)) {
                refusal = duplicateCard;
            } else if (m_settings.glTransferInactives != 1 && CheckForInactive(card)) {
                refusal = inactiveCard;
            } else if (card.CardRecordID > 0 && claimed.contains(card.CardRecordID)) {
                refusal = secondClaimant(card.CardRecordID);
            }
            if (refusal.isEmpty()) {
                claimed.insert(card.CardRecordID);
                mcolTransfer.push_back(card);
            } else {
                rejectCard(card, refusal);
            }
        });
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeOutlook2VEXO"), error);
        result = false;
    }
    releaseContactCards();
    return result;
}

bool FProcess::ImportToVEXO()
{
    bool result = true;
    try {
        makeImportCollections();
        while (!mcolTransfer.empty()) {
            // Each card is let go once queued: its item holds what is written.
            CCard card = takeNextTransfer();
            const bool skip = CheckCardSkip(card);
            card.Notes.clear();
            if (mbApplicationCancelled) {
                break;
            }
            if (!skip) {
                queueForImport(card);
            } else if (card.TransferMessage == duplicateCard) {
                mcolRejected.append(card);
            } else if (!mbUserCancelled) {
                ++m_summary.tally.skipped;
            }
            if (mbUserCancelled) {
                break;
            }
        }
        mcolTransfer = {};
        releaseWhatTheWritingDoesNotRead();
        // The cards answered before a Cancel in the dialog are written; any
        // later cancel stops the writing before the next type.
        const bool cancelAnswered = m_cancelAnswered && !mbApplicationCancelled;
        if (cancelAnswered) {
            mbUserCancelled = false;
        }
        if (!MMain::CheckIfVEXOIsRunning()) {
            mbUserCancelled = true;
            m_progress.setButtonsEnabled(false, false);
        }
        mlFailedCards = mlUpdatedCards = mlAddedCards = 0;
        qint32 countedItems = 0;
        for (const CardType type : writingOrder) {
            const QString letter = type.letter(QString());
            if (mbUserCancelled || mbApplicationCancelled) {
                result = false; // a cancelled run writes no further type
                break;
            }
            if (importCollection(letter)->Count() > 0 &&
                type.selectedBy(mbCustomers, mbSuppliers, mbEmployees, mbPersonal) && result) {
                result = importType(letter, countedItems);
            }
        }
        mbUserCancelled = mbUserCancelled || cancelAnswered;
        m_progress.setCaption(QStringLiteral("Finishing Transfer... "));
        setProgressValue(100);
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
        listRejectedCards();
        m_summary.tally.rejected = mlFailedCards;
        if (result && !m_settings.gbSuppressReport) {
            createImportReport();
        }
        result = result && !cancelAnswered; // the run still ends as cancelled
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.ImportToVEXO"), error);
        result = false;
    }
    mtobjCustomerColl.reset();
    mtobjEmployeeColl.reset();
    mtobjSupplierColl.reset();
    mtobjPersonalColl.reset();
    return result;
}

// The merge is the last step to read the cards made from contacts; the
// transfer and rejected lists hold copies of what is written and listed.
void FProcess::releaseContactCards()
{
    m_contactCardIndex.reset();
    mobjOutlookColl.reset();
}

// Once every card is queued, nothing compares with the company file's
// cards or carries a backup's delivery settings over: the report looks the
// existing cards up by name only.
void FProcess::releaseWhatTheWritingDoesNotRead()
{
    m_existingIndex.reset();
    if (mobjExistingCards) {
        for (CCard& existing : *mobjExistingCards) {
            existing.Addresses = {};
        }
    }
    m_storedDeliveries = {};
    mobjCustomerColl.reset();
    mobjSupplierColl.reset();
    mobjPersonalColl.reset();
    mobjEmployeeColl.reset();
}

// The next card to queue, taken from the front: its room goes back at once,
// for the queued items to take, rather than piling up under them.
TarvoCards::CCard FProcess::takeNextTransfer()
{
    CCard card = std::move(mcolTransfer.front());
    mcolTransfer.pop_front();
    return card;
}

void FProcess::makeImportCollections()
{
    mtobjCustomerColl = std::make_unique<TarvoCards::CCustomerColl>();
    mtobjEmployeeColl = std::make_unique<TarvoCards::CEmployeeColl>();
    mtobjSupplierColl = std::make_unique<TarvoCards::CSupplierColl>();
    mtobjPersonalColl = std::make_unique<TarvoCards::CPersonalColl>();
    for (CTypeColl* cards : {static_cast<CTypeColl*>(mtobjCustomerColl.get()),
                             static_cast<CTypeColl*>(mtobjEmployeeColl.get()),
                             static_cast<CTypeColl*>(mtobjSupplierColl.get()),
                             static_cast<CTypeColl*>(mtobjPersonalColl.get())}) {
        QObject::connect(cards, &CTypeColl::ImportComplete, cards,
                         [this, cards] { ImportComplete(*cards); });
    }
}

// A card whose copy fails is refused rather than written half-filled.
void FProcess::queueForImport(CCard& card)
{
    CTypeColl* cards = importCollection(card.CardTypeID);
    if (!cards) {
        return;
    }
    CImportCard item;
    if (MapCardToCard(card, item)) {
        item.TransferMessage = card.TransferMessage;
        cards->Add() = std::move(item);
    } else {
        card.TransferMessage = unreadableContact;
        mcolRejected.append(card);
    }
}

bool FProcess::importType(const QString& cardTypeId, qint32& countedItems)
{
    const CardType type = *CardType::fromLetter(cardTypeId);
    CTypeColl& cards = *importCollection(cardTypeId);
    m_progress.setCaption(QLatin1String("Transferring ") +
                          cardsWord(type, m_settings.gsSupplierWord) + QLatin1String(" Cards..."));
    setProgressValue(0);
    if (!cards.Import(*mobjVEXOConnection)) {
        m_context.WriteLog(m_context.logTimeStamp() +
                           QStringLiteral(" VEXOBrindle.FProcess.ImportToVEXO ") +
                           cardsWord(type, m_settings.gsSupplierWord) +
                           QStringLiteral(" Cards Import has failed: ") +
                           QString::number(cards.Count()) + QStringLiteral(" cards."));
        if (mobjVEXOConnection) {
            m_context.logError(QStringLiteral("FProcess.ImportToVEXO"),
                               mobjVEXOConnection->LastError());
        }
        mlFailedCards += qint32(cards.Count());
        return false;
    }
    for (const CImportCard& item : cards) {
        if (!item.ErrorCode.trimmed().isEmpty()) {
            ++mlFailedCards;
        } else {
            ++(item.WarningCode.trimmed().isEmpty() ? mlAddedCards : mlUpdatedCards);
            tallyWritten(item);
        }
        if (++countedItems % 10 == 0) {
            m_progress.pause(20);
            DoEvents();
        }
    }
    return true;
}

// What CheckCardSkip found for the card, now that it is written.
void FProcess::tallyWritten(const CImportCard& item)
{
    FSummary::Tally& tally = m_summary.tally;
    ++(item.TransferMessage == newCard       ? tally.added
       : item.TransferMessage == changedCard ? tally.changed
                                             : tally.unchanged);
}

// Two contacts linked to one card would both be written into it, the last
// one winning: the second is refused, naming the card.
QString FProcess::secondClaimant(qint32 cardRecordId) const
{
    const CCard* stored =
        mobjExistingCards ? mobjExistingCards->Item(TarvoCards::cardKey(cardRecordId)) : nullptr;
    const QString name =
        stored ? trimBlanks(stored->FirstName + u' ' + stored->LastName) : QString();
    return QStringLiteral("Another contact is linked to the same card: %1 (record %2)")
        .arg(name)
        .arg(cardRecordId);
}

void FProcess::listRejectedCards()
{
    for (const CCard& card : std::as_const(mcolRejected)) {
        ++mlFailedCards;
        CTypeColl* cards = importCollection(card.CardTypeID);
        if (!cards) {
            continue;
        }
        CImportCard& item = cards->Add();
        item.CardIdentification = card.CardIdentification;
        item.CardRecordID = card.CardRecordID;
        item.IsIndividual = card.IsIndividual;
        item.IsInactive = card.IsInactive;
        const bool nameless =
            trimBlanks(card.LastName).isEmpty() && trimBlanks(card.FirstName).isEmpty();
        item.LastName = nameless ? card.ContactFile : card.LastName;
        item.FirstName = card.FirstName;
        item.LogMessage = card.TransferMessage.isEmpty() ? inactiveCard : card.TransferMessage;
        item.ErrorCode = QStringLiteral("1");
    }
}

void FProcess::createImportReport()
{
    clsVEXOImportReport report(m_context);
    report.setSupplierWord(m_settings.gsSupplierWord);
    report.setProgress(&m_progress);
    if (mbCustomers) {
        report.setVEXOCustomerColl(mtobjCustomerColl.get());
    }
    if (mbSuppliers) {
        report.setVEXOSupplierColl(mtobjSupplierColl.get());
    }
    if (mbPersonal) {
        report.setVEXOPersonalColl(mtobjPersonalColl.get());
    }
    if (mbEmployees) {
        report.setVEXOEmployeeColl(mtobjEmployeeColl.get());
    }
    report.setExistingCards(mobjExistingCards.get());
    report.setReportPath(appPath());
    report.setReportAbbreviation(QStringLiteral("VEXOImport"));
    m_progress.setPointer(RunProgress::Pointer::Hourglass);
    if (report.CreateReport()) {
        m_summary.ReportFilePath = report.ReportFilePath();
    }
}

void FProcess::ImportComplete(const CTypeColl& collection)
{
    try {
        AdvanceProgress(100.0 / qMax<qsizetype>(collection.Count(), 1));
        DoEvents();
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.ImportComplete"), error);
    }
}

TarvoCards::CTypeColl* FProcess::importCollection(const QString& cardTypeId) const
{
    const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
    if (!type) {
        return nullptr;
    }
    switch (type->id()) {
    case CardType::Customer:
        return mtobjCustomerColl.get();
    case CardType::Supplier:
        return mtobjSupplierColl.get();
    case CardType::Employee:
        return mtobjEmployeeColl.get();
    case CardType::Personal:
        return mtobjPersonalColl.get();
    }
    return nullptr;
}

} // namespace brindle
