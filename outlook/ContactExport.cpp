#include "ContactSearch.h"
#include "ContactSide.h"
#include "contactstore/Application.h"
#include "dialogs/FSummary.h"
#include "dialogs/FUpdateChoice.h"
#include "platform/AppInfo.h"
#include "review/clsOutlookImportReport.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "transfer/TransferMessages.h"

#include <array>
#include <cmath>
#include <optional>

namespace brindle {

namespace {

using TarvoCards::CCard;

// Outlook versions from 10 on can show a folder as an address book.
constexpr double addressBookVersion = 10;
constexpr int maxSearches = 6;

const QString rejectedByUser = QStringLiteral("Rejected by User");

QList<CCard> cardsAt(const std::deque<CCard>& cards, const QList<qsizetype>& positions)
{
    QList<CCard> list;
    list.reserve(positions.size());
    for (const qsizetype position : positions) {
        list.append(cards[position]);
    }
    return list;
}
const QString unwritableContact = QStringLiteral("The contact could not be written");

// An error of the export's own is logged and fails it; one by which the
// store says it cannot read a filter is neither.
void exportFailed(ProgramContext& context, const std::exception& error, bool& result)
{
    if (errorNumberOf(error) == ErrorNumber::CannotParse) {
        return;
    }
    context.logError(QStringLiteral("FProcess.ImportToOutlook"), error);
    result = false;
}

// The first contact the filter finds, or null. A filter the store cannot
// read finds nothing and is no failure.
std::shared_ptr<contacts::ContactItem> find(ProgramContext& context, const contacts::Items& items,
                                            const QString& filter, bool& result)
{
    try {
        return items.Find(filter);
    } catch (const std::exception& error) {
        exportFailed(context, error, result);
        return nullptr;
    }
}

// A contact linked to another card by its CustomerID. Compared as numbers,
// never cast: a CustomerID beyond any record ID is another card's too.
bool belongsToAnother(contacts::ContactItem& contact, const CCard& card)
{
    const double linked = std::trunc(
        leadingNumber(contact.property(QStringLiteral("CustomerID")).toString().trimmed()));
    return linked > 0 && linked != double(card.CardRecordID);
}

// The card's own contact: by its record ID first, so that another contact
// of the same name is never taken while the card's own exists, then by the
// whole filter, passing over a contact linked to another card.
std::shared_ptr<contacts::ContactItem> findContact(ProgramContext& context, const CCard& card,
                                                   const contacts::Items& items, bool& result)
{
    std::shared_ptr<contacts::ContactItem> contact;
    if (card.CardRecordID > 0) {
        contact = find(context, items, customerIdClause(card), result);
    }
    // Most cards are found by record ID: their filter is never built.
    QString filter = contact ? QString() : searchFilter(card);
    for (int pass = 0; !contact && pass < maxSearches; ++pass) {
        contact = find(context, items, filter, result);
        if (!contact) {
            break;
        }
        if (belongsToAnother(*contact, card)) {
            contact.reset();
            filter = customerIdClause(card);
        }
    }
    return contact;
}

} // namespace

// The item lists of one export: one per card type in folders, one for all
// in the contacts folder, and the list scratch contacts are made in.
struct ContactSide::ExportTargets
{
    std::array<std::optional<contacts::Items>, 4> byType;
    std::optional<contacts::Items> all;
    std::optional<contacts::Items> scratch;

    const contacts::Items* itemsFor(const QString& cardTypeId) const
    {
        if (all) {
            return &*all;
        }
        const std::optional<CardType> type = CardType::fromLetter(cardTypeId);
        return type && byType[type->id()] ? &*byType[type->id()] : nullptr;
    }
};

// Positions in the transfer list, not copies: a list of 100,000 cards that
// grows one by one would cost more than the cards' own data.
struct ContactSide::ExportLists
{
    qsizetype current = 0; // the card exportCard is at
    QList<qsizetype> added;
    QList<qsizetype> updated;
};

bool ContactSide::ImportToOutlook()
{
    bool result = true;
    ExportLists lists;
    try {
        result = !usesTypeFolders(m_settings) || CreateOutlookFolders();
        if (result) {
            ExportTargets targets;
            openExportTargets(targets, result);
            for (qsizetype i = 0; i < qsizetype(m_run.mcolTransfer.size()); ++i) {
                CCard& card = m_run.mcolTransfer[size_t(i)];
                lists.current = i;
                try {
                    if (!exportCard(card, targets, lists, result)) {
                        break;
                    }
                } catch (const std::exception& error) {
                    exportFailed(m_context, error, result);
                    card.TransferMessage = unwritableContact;
                    m_run.mcolRejected.append(card);
                }
                m_progress.setCaption(QStringLiteral("Transferring Card %1 of %2")
                                          .arg(i + 1)
                                          .arg(m_run.mlTransferCount));
                m_run.AdvanceProgress(100.0 / qMax(m_run.mlTransferCount, 1));
                m_run.DoEvents();
                m_progress.pause(20);
                if (m_run.mbUserCancelled) {
                    result = false;
                    break;
                }
            }
            m_run.setProgressValue(0);
        }
    } catch (const std::exception& error) {
        exportFailed(m_context, error, result);
    }
    m_progress.setCaption(QStringLiteral("Finishing Transfer... "));
    m_run.setProgressValue(100);
    m_progress.setPointer(RunProgress::Pointer::Hourglass);
    result = flushContacts() && result;
    if (result && !m_settings.gbSuppressReport) {
        result = createExportReport(lists);
    }
    for (const CCard& card : std::as_const(m_run.mcolRejected)) {
        ++(card.TransferMessage == rejectedByUser ? m_summary.tally.skipped
                                                  : m_summary.tally.rejected);
    }
    m_run.mcolRejected.clear();
    m_progress.setPointer(RunProgress::Pointer::Default);
    return result;
}

void ContactSide::openExportTargets(ExportTargets& targets, bool& result)
{
    if (!mobjOutlookNS || !mobjOutlookApp) {
        throw PlatformError(91, QStringLiteral("Object variable not set"));
    }
    const std::shared_ptr<contacts::Folder> objContactFolder =
        mobjOutlookNS->GetDefaultFolder(olFolderContacts);
    if (!usesTypeFolders(m_settings)) {
        targets.all =
            objContactFolder->Parent()->Folders().Item(QStringLiteral("Contacts"))->Items();
        targets.scratch = targets.all;
        return;
    }
    const bool addressBooks = leadingNumber(mobjOutlookApp->Version()) >= addressBookVersion;
    for (const CardType type : folderOrder) {
        try {
            const std::shared_ptr<contacts::Folder> folder =
                objContactFolder->Folders().Item(type.folderName(m_settings.gsSupplierWord));
            targets.byType[type.id()] = folder->Items();
            if (addressBooks) {
                folder->setShowAsOutlookAB(true);
            }
        } catch (const std::exception& error) {
            exportFailed(m_context, error, result);
        }
    }
    targets.scratch = targets.byType[CardType::Customer];
}

bool ContactSide::exportCard(CCard& card, ExportTargets& targets, ExportLists& lists, bool& result)
{
    const contacts::Items* items = targets.itemsFor(card.CardTypeID);
    if (!items) {
        exportFailed(m_context,
                     PlatformError(91, QStringLiteral("Object variable not set: no folder for "
                                                      "the card type ") +
                                           card.CardTypeID),
                     result);
        card.TransferMessage = unwritableContact;
        m_run.mcolRejected.append(card);
        return true;
    }
    std::shared_ptr<contacts::ContactItem> contact = findContact(m_context, card, *items, result);
    ExportAction action = ExportAction::Add;
    if (contact) {
        action =
            actionForFound(card, *contact, targets.scratch ? *targets.scratch : *items, result);
    } else {
        contact = items->Add(olContactItem);
    }
    if (action == ExportAction::Stop) {
        return false;
    }
    if (action == ExportAction::Reject || !writeContact(card, *contact, result)) {
        m_run.mcolRejected.append(card);
    } else if (action == ExportAction::Add) {
        ++m_run.mlAddedCards;
        ++m_summary.tally.added;
        lists.added.append(lists.current);
    } else {
        ++m_run.mlUpdatedCards;
        ++(contact->savedChanges() ? m_summary.tally.changed : m_summary.tally.unchanged);
        lists.updated.append(lists.current);
    }
    return true;
}

ContactSide::ExportAction ContactSide::actionForFound(CCard& card, contacts::ContactItem& found,
                                                      const contacts::Items& scratchItems,
                                                      bool& result)
{
    if (m_run.mlRulesFilter == RunSettings::KeepExisting) {
        card.TransferMessage = duplicateCard; // the user chose to leave found contacts alone
        return ExportAction::Reject;
    }
    if (m_run.mlRulesFilter != RunSettings::AskToConfirm) {
        return ExportAction::Update;
    }
    // The scratch copy of the found contact shows exactly what an update changes.
    const std::shared_ptr<contacts::ContactItem> scratch = scratchItems.Add(olContactItem);
    scratch->copyContactFrom(found);
    MapCardToContact(card, *scratch);
    Differences differences;
    if (!AreDifferentOutlookContacts(*scratch, found, differences)) {
        return ExportAction::Update;
    }
    switch (m_run.ConfirmUpdate(card, scratch, differences, RunSettings::Export, false)) {
    case FUpdateChoice::Update:
        return ExportAction::Update;
    case FUpdateChoice::UpdateAll:
        m_run.mlRulesFilter = RunSettings::UpdateExisting;
        return ExportAction::Update;
    case FUpdateChoice::Skip:
        card.TransferMessage = rejectedByUser;
        return ExportAction::Reject;
    case FUpdateChoice::CancelRun:
        m_run.mbUserCancelled = true;
        result = false;
        return ExportAction::Stop;
    default:
        result = false;
        return ExportAction::Stop;
    }
}

// A contact is saved only with the whole card in it; a failure leaves the
// stored contact as it was.
bool ContactSide::writeContact(CCard& card, contacts::ContactItem& contact, bool& result)
{
    bool written = MapCardToContact(card, contact);
    if (written) {
        try {
            contact.Save();
        } catch (const std::exception& error) {
            exportFailed(m_context, error, result);
            written = false;
        }
    }
    if (!written) {
        card.TransferMessage = unwritableContact;
        try {
            contact.Close(contacts::ContactItem::olDiscard);
        } catch (const std::exception& error) {
            exportFailed(m_context, error, result);
        }
    }
    return written;
}

// One flush makes every contact the export saved durable, also when it
// stopped early.
bool ContactSide::flushContacts()
{
    try {
        if (mobjOutlookApp) {
            mobjOutlookApp->Flush();
        }
        return true;
    } catch (const std::exception& error) {
        bool result = true;
        exportFailed(m_context, error, result);
        return result;
    }
}

bool ContactSide::createExportReport(const ExportLists& lists)
{
    const QList<CCard> added = cardsAt(m_run.mcolTransfer, lists.added);
    const QList<CCard> updated = cardsAt(m_run.mcolTransfer, lists.updated);
    clsOutlookImportReport report(m_context);
    report.setSupplierWord(m_settings.gsSupplierWord);
    report.setProgress(&m_progress);
    report.setAddedOutlookContacts(&added);
    report.setRejectedOutlookContacts(&m_run.mcolRejected);
    report.setUpdatedOutlookContacts(&updated);
    report.setReportPath(appPath());
    report.setReportAbbreviation(QStringLiteral("OutlookImport"));
    const bool created = report.CreateReport();
    if (created) {
        m_summary.ReportFilePath = report.ReportFilePath();
    }
    return created;
}

} // namespace brindle
