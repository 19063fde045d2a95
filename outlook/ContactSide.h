#pragma once

#include "startup/CardType.h"
#include "transfer/RunState.h"

#include <QString>
#include <exception>
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

class ProgramContext;
struct RunSettings;

// The contact side of a run: the connection to the contacts, their folders,
// the loading of contacts into cards, the mapping of cards to contacts,
// their comparison and the export with its report.
class ContactSide : private RunSide
{
public:
    explicit ContactSide(RunState& run) : RunSide(run) {}
    virtual ~ContactSide() = default;
    ContactSide(const ContactSide&) = delete;
    ContactSide& operator=(const ContactSide&) = delete;

    // The steps of this side, called by the driver's steps of the same
    // names. The loading has each contact made into a card by mapContact.
    bool CreateOutlookFolders();
    bool PopulateOutlookDataObjects(const ContactToCard& mapContact);
    bool ImportToOutlook();

    bool OpenOutlookConnection();
    void disconnect();
    bool AnalyseOutlookContactFolders(contacts::Folder& objFolder, const QString& psCardTypeID);
    bool AnalyseOutlookContacts(contacts::Folder& objContactFolder);
    // False, with what it wrote still on the contact, when a property failed.
    virtual bool MapCardToContact(TarvoCards::CCard& pobjVEXOCard,
                                  contacts::ContactItem& pobjContact);
    bool AreDifferentOutlookContacts(contacts::ContactItem& pobjNewContact,
                                     contacts::ContactItem& pobjExistingContact,
                                     Differences& psDifferences);
    // Queues the existing cards to export; isDuplicate says whether a card
    // is among the cards made from contacts.
    bool MergeVEXO2Outlook(const TarvoCards::CCardsColl* existingCards,
                           const CardCheck& isDuplicate);

    std::shared_ptr<contacts::Application> mobjOutlookApp;
    std::shared_ptr<contacts::Namespace> mobjOutlookNS;

private:
    ContactToCard m_mapContact;
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
};

// Helpers the contact side's procedures share.

// The default contacts folder's type, and the item type of a contact.
inline constexpr int olFolderContacts = 10;
inline constexpr int olContactItem = 2;

// Writes the time-stamped trace line of one of FProcess's procedures:
// "<time> VEXOBrindle.FProcess.<procedure> <text>".
void logTrace(ProgramContext& context, const char* procedure, const QString& text);

// True when each card type has its own sub-folder; the setting
// DisableOutlookFolders 1 keeps every contact in the default folder.
bool usesTypeFolders(const RunSettings& settings);

// The error number a caught exception carries; unspecified for any other.
qint64 errorNumberOf(const std::exception& error);

// The sub-folder of that name, or null when there is none. Any other
// failure of the look-up is raised.
std::shared_ptr<contacts::Folder> subFolder(contacts::Folder& parent, const QString& name);

// The number at the start of a text, as Val reads it ("16.0.0.0" is 16).
double leadingNumber(const QString& text);

// The four card types in the order their folders are ensured.
inline constexpr CardType::Id folderOrder[] = {CardType::Customer, CardType::Supplier,
                                               CardType::Employee, CardType::Personal};

} // namespace brindle
