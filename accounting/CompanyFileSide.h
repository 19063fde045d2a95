#pragma once

#include "cardlib/Collections.h"
#include "cardlib/Connection.h"
#include "transfer/CardIndex.h"
#include "transfer/RunState.h"

#include <QHash>
#include <QSet>
#include <memory>

namespace contacts {
class ContactItem;
}

namespace brindle {

// The company-file side of a run: the connection, the existing cards and
// their indexes, the mapping of contacts to cards, the comparison and
// identity checks, the backup and the import with its report.
class CompanyFileSide : private RunSide
{
public:
    explicit CompanyFileSide(RunState& run) : RunSide(run) {}

    // The steps of this side, called by the driver's steps of the same names.
    bool PopulateVEXODataObjects();
    bool BackupExistingCards();
    bool ImportToVEXO();

    // Connection and card loading
    bool OpenVEXOConnection();
    bool TestVEXOConnection();
    bool CountryLocalisation();
    bool LoadExistingVEXOCards();
    void disconnect();

    // Contact-to-card mapping; withDetails: the notes and addresses too.
    bool MapContactToCard(contacts::ContactItem& pobjContact, TarvoCards::CCard& pobjVEXOCard,
                          const QString& psCardTypeID, bool withDetails = true);
    bool MapCardToCard(const TarvoCards::CCard& pobjSourceCard,
                       TarvoCards::CImportCard& pobjDestCard);

    // Card comparison and identity checks
    bool AreDifferentVEXOCards(TarvoCards::CCard& newCard, const TarvoCards::CCard& existingCard,
                               Differences& differences, bool& blankField);
    bool CheckForDuplicate(qint32 mode, const TarvoCards::CCard& card);
    bool CheckForInactive(const TarvoCards::CCard& card);
    bool CheckCardSkip(TarvoCards::CCard& card);

    // Import into the company file
    bool MergeOutlook2VEXO();
    // The ImportComplete handlers of the four import collections.
    void ImportComplete(const TarvoCards::CTypeColl& collection);
    void releaseImportCollections();

    std::unique_ptr<TarvoCards::CConnection> mobjVEXOConnection;
    QString msEmptyValue;
    // In an import only what the import reads (keepWhatAnImportReads).
    std::unique_ptr<TarvoCards::CCardsColl> mobjExistingCards;
    // The backup collections, then those the import writes.
    std::unique_ptr<TarvoCards::CCustomerColl> mobjCustomerColl;
    std::unique_ptr<TarvoCards::CSupplierColl> mobjSupplierColl;
    std::unique_ptr<TarvoCards::CPersonalColl> mobjPersonalColl;
    std::unique_ptr<TarvoCards::CEmployeeColl> mobjEmployeeColl;
    std::unique_ptr<TarvoCards::CCustomerColl> mtobjCustomerColl;
    std::unique_ptr<TarvoCards::CSupplierColl> mtobjSupplierColl;
    std::unique_ptr<TarvoCards::CPersonalColl> mtobjPersonalColl;
    std::unique_ptr<TarvoCards::CEmployeeColl> mtobjEmployeeColl;
    qint32 mlFailedCards = 0;

    // Lets go of a backup collection's cards, keeping what an update
    // carries over from them.
    void keepDeliveries(TarvoCards::CTypeColl& cards);

private:
    // First matches among the existing cards and among the cards made from
    // contacts, built once per collection.
    std::unique_ptr<CardIndex> m_existingIndex;
    std::unique_ptr<CardIndex> m_contactCardIndex;
    CardIndex& existingIndex();
    CardIndex& contactCardIndex();
    static CardIndex& indexOf(std::unique_ptr<CardIndex>& index, TarvoCards::CCardsColl* cards);
    // The existing card that CheckCardSkip matches, or CardIndex::none.
    qsizetype existingMatch(const TarvoCards::CCard& card);
    // The effect of a confirmation's answer; True skips the card.
    bool actOnChoice(qint32 choice);
    // The import collection of a card type, or nullptr.
    TarvoCards::CTypeColl* importCollection(const QString& cardTypeId) const;
    // What an update carries over from the backup collections, by type and
    // record ID: the collections are emptied once backed up, so that a large
    // company file's cards are not held twice.
    struct StoredDelivery
    {
        QString invoice;
        QString purchase;
    };
    QHash<quint64, StoredDelivery> m_storedDeliveries;
    const StoredDelivery* storedDelivery(const QString& cardTypeId, qint32 cardRecordId) const;
    void releaseContactCards();
    void releaseWhatTheWritingDoesNotRead();
    void makeImportCollections();
    void queueForImport(TarvoCards::CCard& card);
    TarvoCards::CCard takeNextTransfer();
    bool importType(const QString& cardTypeId, qint32& countedItems);
    void tallyWritten(const TarvoCards::CImportCard& item);
    void listRejectedCards();
    QString secondClaimant(qint32 cardRecordId) const;
    // Why the merge refuses a card, or empty; claimed holds the record IDs
    // of the cards taken so far.
    QString refusalOf(const TarvoCards::CCard& card, QSet<qint32>& claimed);
    void createImportReport();
};

} // namespace brindle
