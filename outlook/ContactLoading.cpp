#include "ContactSearch.h"
#include "ContactSide.h"
#include "contactstore/Application.h"
#include "dialogs/Notices.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/TextHelpers.h"

#include <functional>

namespace brindle {

namespace {

// The types in the order the folders are read.
constexpr CardType::Id readingOrder[] = {CardType::Customer, CardType::Employee, CardType::Supplier,
                                         CardType::Personal};
// The types in the order their category words are looked for.
constexpr CardType::Id categoryOrder[] = {CardType::Customer, CardType::Supplier,
                                          CardType::Employee, CardType::Personal};

void logLoading(ProgramContext& context, const QString& text)
{
    logTrace(context, "PopulateOutlookDataObjects", text);
}

void logSubFolders(ProgramContext& context, contacts::Folder& folder)
{
    const contacts::Folders folders = folder.Folders();
    if (folders.Count() == 0) {
        logLoading(context, QStringLiteral("No Folders Found"));
        return;
    }
    for (const std::shared_ptr<contacts::Folder> sub : folders) {
        logLoading(context, QStringLiteral("Found Folder:") + sub->Name() + QLatin1Char('|'));
    }
}

bool isRefusal(const std::exception& error)
{
    return errorNumberOf(error) == ErrorNumber::PermissionDenied;
}

// An import reads addresses 1 and 2 (the mapping leaves 3 to 5 empty).
// What else they hold would take most of the run's memory.
void keepWhatTheRunReads(TarvoCards::CCard& card)
{
    if (card.Addresses.removeIf([](const TarvoCards::CAddress& a) { return a.Location >= 3; })) {
        card.Addresses.squeeze();
    }
}

// An export looks the cards made from contacts up by record ID and names
// alone; their notes and addresses would take most of its time and memory.
bool readsDetails(const RunSettings& settings)
{
    return settings.glTransferAction != RunSettings::Export;
}

// The folder "Contacts" beside the default contacts folder.
contacts::Items categorisedItems(contacts::Folder& objContactFolder)
{
    const std::shared_ptr<contacts::Folder> parent = objContactFolder.Parent();
    if (!parent) {
        throw PlatformError(91, QStringLiteral("Object variable not set"));
    }
    return parent->Folders().Item(QStringLiteral("Contacts"))->Items();
}

} // namespace

bool ContactSide::PopulateOutlookDataObjects(const ContactToCard& mapContact)
{
    m_mapContact = mapContact;
    bool result = OpenOutlookConnection();
    m_progress.setPanelVisible(RunProgress::Panel::OutlookWaiting, true);
    m_progress.setPointer(RunProgress::Pointer::Hourglass);
    m_accessRefused = false;
    // A refusal of access ends the loading at once; any other failure is
    // logged and the loading goes on with the next statement.
    const auto attempt = [this, &result](const auto& statement) {
        try {
            statement();
        } catch (const std::exception& error) {
            if (isRefusal(error)) {
                throw;
            }
            m_context.logError(QStringLiteral("FProcess.PopulateOutlookDataObjects"), error);
            result = false;
        }
    };
    try {
        if (mobjOutlookNS) {
            std::shared_ptr<contacts::Folder> objContactFolder;
            attempt([&] { objContactFolder = mobjOutlookNS->GetDefaultFolder(olFolderContacts); });
            logLoading(m_context,
                       QStringLiteral("Set objContactFolder = mobjOutlookNS.GetDefaultFolder("
                                      "olFolderContacts) -- Object Created = ") +
                           booleanText(objContactFolder != nullptr));
            m_run.mobjOutlookColl = std::make_unique<TarvoCards::CCardsColl>(); // or raises
            logLoading(m_context,
                       QStringLiteral("Set mobjOutlookColl = New TarvoCards.CCardsColl -- Object "
                                      "Created = True"));
            if (objContactFolder) {
                attempt([&] { logSubFolders(m_context, *objContactFolder); });
                if (usesTypeFolders(m_settings)) {
                    result = readTypeFolders(*objContactFolder) && result;
                } else {
                    result = AnalyseOutlookContacts(*objContactFolder);
                }
            }
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.PopulateOutlookDataObjects"), error);
        m_accessRefused = m_accessRefused || isRefusal(error);
        result = false;
    }
    if (m_accessRefused) {
        m_run.mbUserCancelled = true;
        result = false;
    }
    m_progress.setPanelVisible(RunProgress::Panel::OutlookWaiting, false);
    m_progress.setPointer(RunProgress::Pointer::Default);
    return result;
}

// A type whose folder is not there yet has nothing to read, as in the first
// export into a new store.
bool ContactSide::readTypeFolders(contacts::Folder& objContactFolder)
{
    bool result = true;
    for (const CardType type : readingOrder) {
        if (!result || !type.selectedBy(m_run.mbCustomers, m_run.mbSuppliers, m_run.mbEmployees,
                                        m_run.mbPersonal)) {
            continue;
        }
        try {
            const QString word = m_settings.gsSupplierWord;
            if (const auto folder = subFolder(objContactFolder, type.folderName(word))) {
                AnalyseOutlookContactFolders(*folder, type.letter(word));
            } else if (type == CardType::Customer) {
                logLoading(m_context,
                           QStringLiteral("VEXO Customers folder not found. Folder Count :") +
                               QString::number(objContactFolder.Folders().Count()));
                logSubFolders(m_context, objContactFolder);
            }
        } catch (const std::exception& error) {
            if (isRefusal(error)) {
                throw;
            }
            m_context.logError(QStringLiteral("FProcess.PopulateOutlookDataObjects"), error);
            result = false;
        }
        if (m_accessRefused || m_run.mbUserCancelled) {
            result = false;
        }
    }
    return result;
}

bool ContactSide::AnalyseOutlookContactFolders(contacts::Folder& objFolder,
                                               const QString& psCardTypeID)
{
    return walkItems([&] { return objFolder.Items(); }, "AnalyseOutlookContactFolders",
                     [&](contacts::ContactItem& item) {
                         TarvoCards::CCard& card = m_run.mobjOutlookColl->AddNew();
                         m_mapContact(item, card, psCardTypeID, readsDetails(m_settings));
                         keepWhatTheRunReads(card);
                     });
}

bool ContactSide::AnalyseOutlookContacts(contacts::Folder& objContactFolder)
{
    return walkItems([&] { return categorisedItems(objContactFolder); }, "AnalyseOutlookContacts",
                     [&](contacts::ContactItem& item) { readCategorisedContact(item); });
}

// The first selected type whose word the categories hold gives the type;
// categories that name none show the category notice once per program run.
void ContactSide::readCategorisedContact(contacts::ContactItem& item)
{
    if (item.Class() != contacts::ContactItem::ContactClass) {
        // It names no card type, and the run leaves it as it is.
        m_context.logError(
            QStringLiteral("FProcess.AnalyseOutlookContacts"), ErrorNumber::NoSuchMember,
            QStringLiteral("Passed over %1: %2").arg(item.fileName(), item.problem()));
        return;
    }
    const QString categories =
        trimBlanks(item.property(QStringLiteral("Categories")).toString()).toUpper();
    const QString word = m_settings.gsSupplierWord;
    for (const CardType type : categoryOrder) {
        const QString recognised = type.recognisedWord(word);
        if (!recognised.isEmpty() && categories.contains(recognised) &&
            type.selectedBy(m_run.mbCustomers, m_run.mbSuppliers, m_run.mbEmployees,
                            m_run.mbPersonal)) {
            TarvoCards::CCard& card = m_run.mobjOutlookColl->AddNew();
            m_mapContact(item, card, type.letter(word), readsDetails(m_settings));
            keepWhatTheRunReads(card);
            return;
        }
    }
    if (!categories.isEmpty() && !m_settings.gbCategoryWarningShown) {
        m_settings.gbCategoryWarningShown = true;
        m_progress.setPointer(RunProgress::Pointer::Default);
        FOutlookCategories notice(m_context);
        notice.Form_Load();
        m_prompts.showNotice(notice);
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
    }
}

// Reads each item until the user cancels, letting the window serve its
// events every 10 items. A failing item is logged and the walk goes on; a
// refusal of access ends it and is told through m_accessRefused.
bool ContactSide::walkItems(const std::function<contacts::Items()>& items, const char* procedure,
                            const std::function<void(contacts::ContactItem&)>& read)
{
    const QString source = QStringLiteral("FProcess.") + QLatin1String(procedure);
    bool result = true;
    try {
        if (!m_run.mobjOutlookColl) {
            throw PlatformError(91, QStringLiteral("Object variable not set"));
        }
        const contacts::Items walked = items();
        if (m_settings.glTransferAction == RunSettings::Export) {
            walked.indexAsRead(searchedProperties()); // the export's Finds follow the walk
        }
        const int count = walked.Count();
        for (int counter = 1; counter <= count && !m_run.mbUserCancelled; ++counter) {
            try {
                read(*walked.Item(counter));
            } catch (const std::exception& error) {
                if (isRefusal(error)) {
                    throw;
                }
                m_context.logError(source, error);
                result = false;
            }
            if (counter % 10 == 0) {
                m_run.DoEvents();
            }
        }
    } catch (const std::exception& error) {
        m_context.logError(source, error);
        m_accessRefused = m_accessRefused || isRefusal(error);
        result = false;
    }
    return result;
}

} // namespace brindle
