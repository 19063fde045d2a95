#pragma once

#include "RunProgress.h"
#include "accounting/CardIndex.h"
#include "cardlib/Collections.h"
#include "cardlib/Connection.h"
#include "review/Differences.h"
#include "startup/ProgramContext.h"
#include "startup/RunSettings.h"

#include <deque>
#include <functional>
#include <memory>

namespace contacts {
class Application;
class ContactItem;
class Folder;
class Items;
class Namespace;
} // namespace contacts

namespace brindle {

class FSummary;
class ProgramContext;
class RunRecord;
class Prompts;
struct RunSettings;

// One synchronisation run from the first connection to the summary: the
// progress window's logic and everything the run owns. The driver lives in
// run/, the steps of the company-file side in accounting/ and those of the
// contact side in outlook/. It reaches the user only through its ports.
class FProcess : public RunProgress::Controls
{
public:
    FProcess(ProgramContext& context, RunSettings& settings, RunProgress& progress,
             FSummary& summary);
    ~FProcess() override;
    FProcess(const FProcess&) = delete;
    FProcess& operator=(const FProcess&) = delete;

    // Run driver
    void Form_Load();
    // Runs one transfer in the direction of glTransferAction; True when
    // every step succeeded. Unloads the progress window before it returns.
    bool ProcessData();
    bool UserCancelled() const { return mbUserCancelled; }
    bool ApplicationCancelled() const { return mbApplicationCancelled; }
    bool SetTransferFilterOptions();
    void AdvanceProgress(double dStep);
    void DisplayOutlookWarning();
    // True refuses the unload; unload mode 0 is the user's close box.
    bool Form_QueryUnload(qint32 unloadMode);
    void cmdCancel_Click() override;
    void cmdHelp_Click() override;
    bool closeRequested() override { return Form_QueryUnload(0); }
    bool programExiting() const override { return m_settings.gbExiting; }

    // The steps the driver calls, by their names; True goes on.
    virtual bool PopulateVEXODataObjects();
    virtual bool CreateOutlookFolders();
    virtual bool BackupExistingCards();
    virtual bool PopulateOutlookDataObjects();
    virtual bool MergeCollections();
    virtual bool ImportToOutlook();
    virtual bool ImportToVEXO();

    // Company-file connection and card loading
    bool OpenVEXOConnection();
    bool TestVEXOConnection();
    bool CountryLocalisation();
    bool LoadExistingVEXOCards();

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
    // Shows the confirmation until it is answered and returns the answer.
    // Direction 1 heads it with the card (replaced by the dialog's copy),
    // direction 2 with the contact.
    qint32 ConfirmUpdate(TarvoCards::CCard& card,
                         const std::shared_ptr<contacts::ContactItem>& contact,
                         const Differences& differences, qint32 transferAction, bool newCard);

    // Import into the company file
    bool MergeOutlook2VEXO();
    // The ImportComplete handlers of the four import collections.
    void ImportComplete(const TarvoCards::CTypeColl& collection);

    // Contact connection, loading, mapping, comparison and export
    bool OpenOutlookConnection();
    bool AnalyseOutlookContactFolders(contacts::Folder& objFolder, const QString& psCardTypeID);
    bool AnalyseOutlookContacts(contacts::Folder& objContactFolder);
    // False, with what it wrote still on the contact, when a property failed.
    virtual bool MapCardToContact(TarvoCards::CCard& pobjVEXOCard,
                                  contacts::ContactItem& pobjContact);
    bool AreDifferentOutlookContacts(contacts::ContactItem& pobjNewContact,
                                     contacts::ContactItem& pobjExistingContact,
                                     Differences& psDifferences);
    bool MergeVEXO2Outlook();

    // What the run counted, for the summary and the tests.
    qint32 TotalCards() const { return mlTotalCards; }
    qint32 AddedCards() const { return mlAddedCards; }
    qint32 UpdatedCards() const { return mlUpdatedCards; }
    const QList<TarvoCards::CCard>& Rejected() const { return mcolRejected; }

protected:
    ProgramContext& m_context;
    // The run's settings: the program's, or a copy of its own.
    RunSettings& m_settings;
    Prompts& m_prompts;
    RunProgress& m_progress;
    FSummary& m_summary;

    // Run driver
    bool mbFinished = true;
    bool mbUserCancelled = false;
    bool mbApplicationCancelled = false;
    // Cancel answered in the confirmation dialog: what was confirmed is written.
    bool m_cancelAnswered = false;
    qint32 mlRulesFilter = 0;
    bool mbCustomers = false;
    bool mbSuppliers = false;
    bool mbPersonal = false;
    bool mbEmployees = false;
    qint32 mlTotalCards = 0;
    qint32 mlAddedCards = 0;
    qint32 mlUpdatedCards = 0;
    QList<TarvoCards::CCard> mcolRejected;
    bool mbBlankFieldNoticeShown = false;
    double m_progressValue = 0;

    // Company-file side
    std::unique_ptr<TarvoCards::CConnection> mobjVEXOConnection;
    // What this run changes, for brindle-cli undo.
    std::unique_ptr<RunRecord> m_record;
    QString msEmptyValue;
    // In an import only what the import reads (keepWhatAnImportReads).
    std::unique_ptr<TarvoCards::CCardsColl> mobjExistingCards;
    std::unique_ptr<TarvoCards::CCustomerColl> mobjCustomerColl;
    std::unique_ptr<TarvoCards::CSupplierColl> mobjSupplierColl;
    std::unique_ptr<TarvoCards::CPersonalColl> mobjPersonalColl;
    std::unique_ptr<TarvoCards::CEmployeeColl> mobjEmployeeColl;
    std::unique_ptr<TarvoCards::CCustomerColl> mtobjCustomerColl;
    std::unique_ptr<TarvoCards::CSupplierColl> mtobjSupplierColl;
    std::unique_ptr<TarvoCards::CPersonalColl> mtobjPersonalColl;
    std::unique_ptr<TarvoCards::CEmployeeColl> mtobjEmployeeColl;
    qint32 mlFailedCards = 0;
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
    void keepDeliveries(TarvoCards::CTypeColl& cards);
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
    void createImportReport();

    // Contact side
    std::shared_ptr<contacts::Application> mobjOutlookApp;
    std::shared_ptr<contacts::Namespace> mobjOutlookNS;
    // In an import the loading drops addresses 3 to 5 (the mapping leaves
    // them empty) and the merge lets the collection go: nothing reads it later.
    std::unique_ptr<TarvoCards::CCardsColl> mobjOutlookColl;
    // Set by the readers of a folder when the user refused access to it.
    bool m_accessRefused = false;
    bool readTypeFolders(contacts::Folder& objContactFolder);
    void readCategorisedContact(contacts::ContactItem& item);
    bool walkItems(const std::function<contacts::Items()>& items, const char* procedure,
                   const std::function<void(contacts::ContactItem&)>& read);
    // The export's item lists, what it made of the cards, and what it does
    // with one card.
    struct ExportTargets;
    struct ExportLists;
    enum class ExportAction
    {
        Add,
        Update,
        Reject,
        Stop
    };
    void openExportTargets(ExportTargets& targets, bool& result);
    // False stops the walk.
    bool exportCard(TarvoCards::CCard& card, ExportTargets& targets, ExportLists& lists,
                    bool& result);
    ExportAction actionForFound(TarvoCards::CCard& card, contacts::ContactItem& found,
                                const contacts::Items& scratchItems, bool& result);
    bool writeContact(TarvoCards::CCard& card, contacts::ContactItem& contact, bool& result);
    bool flushContacts();
    bool createExportReport(const ExportLists& lists);

    // Both directions: the cards to transfer, and how many. A deque: the
    // import gives back each card's room as it takes the card.
    std::deque<TarvoCards::CCard> mcolTransfer;
    qint32 mlTransferCount = 0;

    // Lets the window serve its events; clicks on it reach the controls.
    void DoEvents() { m_progress.pumpMessages(); }
    // prgProgress, held at 100.
    void setProgressValue(double value);
    double progressValue() const { return m_progressValue; }

private:
    // Both merges: each card of a type the run includes goes to take, the
    // others count as skipped, and each compared card advances the bar;
    // false once the user cancelled. A card take refuses goes to the
    // rejected list with its reason.
    bool mergeSelectedTypes(const TarvoCards::CCardsColl& cards,
                            const std::function<void(const TarvoCards::CCard&)>& take);
    void rejectCard(const TarvoCards::CCard& card, const QString& reason);
    void windUp(bool bOK);
    bool startRecord();
    void closeRecord(bool completed);
    void showSummary();
    void releaseImportCollections();
    bool askCancel();

    bool m_cancelEnabled = true;
    bool m_helpEnabled = true;
};

} // namespace brindle
