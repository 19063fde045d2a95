#include "CardRules.h"
#include "CompanyFileSide.h"
#include "dialogs/FSummary.h"
#include "platform/AppInfo.h"
#include "review/clsVEXOImportReport.h"
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

// The types in the order they are written.
const CardType writingOrder[] = {CardType::Customer, CardType::Employee, CardType::Supplier,
                                 CardType::Personal};

QString cardsWord(CardType type, const QString& supplierWord)
{
    return type == CardType::Supplier ? supplierWord : type.word(QString());
}

} // namespace

bool CompanyFileSide::MergeOutlook2VEXO()
{
    if (m_settings.glTransferAction != RunSettings::Import) {
        return true;
    }
    bool result = true;
    try {
        m_run.mcolRejected.clear();
        if (!m_run.mobjOutlookColl) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        QSet<qint32> claimed; // cards a queued contact is linked to
        result = m_run.mergeEach(*m_run.mobjOutlookColl,
                                 [&](const CCard& card) { return refusalOf(card, claimed); });
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeOutlook2VEXO"), error);
        result = false;
    }
    releaseContactCards();
    return result;
}

bool CompanyFileSide::ImportToVEXO()
{
    bool result = true;
    try {
        makeImportCollections();
        while (!m_run.mcolTransfer.empty()) {
            // Each card is let go once queued: its item holds what is written.
            CCard card = takeNextTransfer();
            const bool skip = CheckCardSkip(card);
            card.Notes.clear();
            if (m_run.mbApplicationCancelled) {
                break;
            }
            if (!skip) {
                queueForImport(card);
            } else if (card.TransferMessage == duplicateCard) {
                m_run.mcolRejected.append(card);
            } else if (!m_run.mbUserCancelled) {
                ++m_summary.tally.skipped;
            }
            if (m_run.mbUserCancelled) {
                break;
            }
        }
        m_run.mcolTransfer = {};
        releaseWhatTheWritingDoesNotRead();
        // The cards answered before a Cancel in the dialog are written; any
        // later cancel stops the writing before the next type.
        const bool cancelAnswered = m_run.m_cancelAnswered && !m_run.mbApplicationCancelled;
        if (cancelAnswered) {
            m_run.mbUserCancelled = false;
        }
        if (!MMain::CheckIfVEXOIsRunning()) {
            m_run.mbUserCancelled = true;
            m_progress.setButtonsEnabled(false, false);
        }
        mlFailedCards = m_run.mlUpdatedCards = m_run.mlAddedCards = 0;
        qint32 countedItems = 0;
        for (const CardType type : writingOrder) {
            const QString letter = type.letter(QString());
            if (m_run.mbUserCancelled || m_run.mbApplicationCancelled) {
                result = false; // a cancelled run writes no further type
                break;
            }
            if (importCollection(letter)->Count() > 0 &&
                type.selectedBy(m_run.mbCustomers, m_run.mbSuppliers, m_run.mbEmployees,
                                m_run.mbPersonal) &&
                result) {
                result = importType(letter, countedItems);
            }
        }
        m_run.mbUserCancelled = m_run.mbUserCancelled || cancelAnswered;
        m_progress.setCaption(QStringLiteral("Finishing Transfer... "));
        m_run.setProgressValue(100);
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

QString CompanyFileSide::refusalOf(const CCard& card, QSet<qint32>& claimed)
{
    if (card.TransferMessage == unreadableContact) {
        return unreadableContact;
    }
    if (m_run.mlRulesFilter == RunSettings::KeepExisting && CheckForDuplicate(1, card)) {
        return duplicateCard;
    }
    if (m_settings.glTransferInactives != 1 && CheckForInactive(card)) {
        return inactiveCard;
    }
    if (card.CardRecordID > 0 && claimed.contains(card.CardRecordID)) {
        return secondClaimant(card.CardRecordID);
    }
    claimed.insert(card.CardRecordID);
    return {};
}

// The merge is the last step to read the cards made from contacts; the
// transfer and rejected lists hold copies of what is written and listed.
void CompanyFileSide::releaseContactCards()
{
    m_contactCardIndex.reset();
    m_run.mobjOutlookColl.reset();
}

// Once every card is queued, nothing compares with the company file's
// cards or carries a backup's delivery settings over: the report looks the
// existing cards up by name only.
void CompanyFileSide::releaseWhatTheWritingDoesNotRead()
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
TarvoCards::CCard CompanyFileSide::takeNextTransfer()
{
    CCard card = std::move(m_run.mcolTransfer.front());
    m_run.mcolTransfer.pop_front();
    return card;
}

void CompanyFileSide::releaseImportCollections()
{
    mobjCustomerColl.reset();
    mobjSupplierColl.reset();
    mobjPersonalColl.reset();
    mobjEmployeeColl.reset();
    mtobjCustomerColl.reset();
    mtobjSupplierColl.reset();
    mtobjPersonalColl.reset();
    mtobjEmployeeColl.reset();
}

void CompanyFileSide::makeImportCollections()
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
void CompanyFileSide::queueForImport(CCard& card)
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
        m_run.mcolRejected.append(card);
    }
}

bool CompanyFileSide::importType(const QString& cardTypeId, qint32& countedItems)
{
    const CardType type = *CardType::fromLetter(cardTypeId);
    CTypeColl& cards = *importCollection(cardTypeId);
    m_progress.setCaption(QLatin1String("Transferring ") +
                          cardsWord(type, m_settings.gsSupplierWord) + QLatin1String(" Cards..."));
    m_run.setProgressValue(0);
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
            ++(item.WarningCode.trimmed().isEmpty() ? m_run.mlAddedCards : m_run.mlUpdatedCards);
            tallyWritten(item);
        }
        if (++countedItems % 10 == 0) {
            m_progress.pause(20);
            m_run.DoEvents();
        }
    }
    return true;
}

// What CheckCardSkip found for the card, now that it is written.
void CompanyFileSide::tallyWritten(const CImportCard& item)
{
    FSummary::Tally& tally = m_summary.tally;
    ++(item.TransferMessage == newCard       ? tally.added
       : item.TransferMessage == changedCard ? tally.changed
                                             : tally.unchanged);
}

// Two contacts linked to one card would both be written into it, the last
// one winning: the second is refused, naming the card.
QString CompanyFileSide::secondClaimant(qint32 cardRecordId) const
{
    const CCard* stored =
        mobjExistingCards ? mobjExistingCards->Item(TarvoCards::cardKey(cardRecordId)) : nullptr;
    const QString name =
        stored ? trimBlanks(stored->FirstName + u' ' + stored->LastName) : QString();
    return QStringLiteral("Another contact is linked to the same card: %1 (record %2)")
        .arg(name)
        .arg(cardRecordId);
}

void CompanyFileSide::listRejectedCards()
{
    for (const CCard& card : std::as_const(m_run.mcolRejected)) {
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

void CompanyFileSide::createImportReport()
{
    clsVEXOImportReport report(m_context);
    report.setSupplierWord(m_settings.gsSupplierWord);
    report.setProgress(&m_progress);
    if (m_run.mbCustomers) {
        report.setVEXOCustomerColl(mtobjCustomerColl.get());
    }
    if (m_run.mbSuppliers) {
        report.setVEXOSupplierColl(mtobjSupplierColl.get());
    }
    if (m_run.mbPersonal) {
        report.setVEXOPersonalColl(mtobjPersonalColl.get());
    }
    if (m_run.mbEmployees) {
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

void CompanyFileSide::ImportComplete(const CTypeColl& collection)
{
    try {
        m_run.AdvanceProgress(100.0 / qMax<qsizetype>(collection.Count(), 1));
        m_run.DoEvents();
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.ImportComplete"), error);
    }
}

TarvoCards::CTypeColl* CompanyFileSide::importCollection(const QString& cardTypeId) const
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
