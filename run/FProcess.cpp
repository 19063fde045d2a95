#include "FProcess.h"

#include "contactstore/Application.h"
#include "dialogs/FSummary.h"
#include "dialogs/Notices.h"
#include "runs/RunFiles.h"
#include "runs/RunRecord.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/RunSettings.h"
#include "startup/Settings.h"
#include "startup/Shell.h"

#include <QDir>
#include <QUrl>

namespace brindle {

namespace {

constexpr qint32 closedByUser = 0;
constexpr qint32 closedByCode = 1;
// CheckForDuplicate's mode that looks among the cards made from contacts.
constexpr qint32 amongContacts = 2;

} // namespace

FProcess::FProcess(ProgramContext& context, RunSettings& settings, RunProgress& progress,
                   FSummary& summary)
    : m_context(context), m_settings(settings), m_prompts(context.prompts()), m_progress(progress),
      m_summary(summary), m_run(context, settings, progress, summary)
{
    Form_Load();
}

FProcess::~FProcess() = default;

void FProcess::Form_Load()
{
    mbFinished = true;
    m_run.mbUserCancelled = false;
    m_run.mbBlankFieldNoticeShown = false;
}

bool FProcess::ProcessData()
{
    bool bOK = true;
    const auto goOn = [&] { return bOK && !m_run.mbUserCancelled; };
    try {
        mbFinished = false;
        m_run.mbApplicationCancelled = m_run.m_cancelAnswered = false;
        m_run.mlRulesFilter = m_settings.glRulesFilter;
        m_run.mcolRejected.clear();
        m_summary.tally = {};
        m_cancelEnabled = m_helpEnabled = true;
        m_progress.setButtonsEnabled(true, true);
        m_progress.setPointer(RunProgress::Pointer::Hourglass);

        SetTransferFilterOptions();
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
        DoEvents();

        bOK = startRecord() && PopulateVEXODataObjects();
        if (bOK && m_settings.glTransferAction == RunSettings::Import) {
            bOK = CreateOutlookFolders();
            bOK = BackupExistingCards(); // its result alone decides
        }
        DoEvents();
        if (goOn()) {
            DisplayOutlookWarning();
            m_progress.setPointer(RunProgress::Pointer::Hourglass);
            bOK = PopulateOutlookDataObjects();
            DoEvents();
        }
        if (goOn()) {
            const TarvoCards::CCardsColl* source =
                m_settings.glTransferAction == RunSettings::Import
                    ? m_run.mobjOutlookColl.get()
                    : m_companyFile.mobjExistingCards.get();
            m_run.mlTotalCards = source ? qint32(source->Count()) : 0;
        }
        if (goOn()) {
            bOK = MergeCollections();
            DoEvents();
            if (goOn() && m_settings.glTransferAction == RunSettings::Export) {
                bOK = ImportToOutlook();
            } else if (goOn() && m_settings.glTransferAction == RunSettings::Import) {
                bOK = ImportToVEXO();
            }
        }
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.ProcessData"), error);
        bOK = false;
    }
    windUp(bOK);
    return bOK;
}

bool FProcess::PopulateVEXODataObjects()
{
    return m_companyFile.PopulateVEXODataObjects();
}

bool FProcess::CreateOutlookFolders()
{
    return m_contacts->CreateOutlookFolders();
}

bool FProcess::BackupExistingCards()
{
    return m_companyFile.BackupExistingCards();
}

bool FProcess::PopulateOutlookDataObjects()
{
    return m_contacts->PopulateOutlookDataObjects([this](contacts::ContactItem& contact,
                                                         TarvoCards::CCard& card,
                                                         const QString& type, bool withDetails) {
        return m_companyFile.MapContactToCard(contact, card, type, withDetails);
    });
}

bool FProcess::MergeCollections()
{
    bool result = true;
    try {
        m_run.mcolTransfer.clear();
        if (m_settings.glTransferAction == RunSettings::Export) {
            result = m_contacts->MergeVEXO2Outlook(
                m_companyFile.mobjExistingCards.get(), [this](const TarvoCards::CCard& card) {
                    return m_companyFile.CheckForDuplicate(amongContacts, card);
                });
        } else if (m_settings.glTransferAction == RunSettings::Import) {
            // The import reads no contact again: only the cards made from them.
            m_contacts->disconnect();
            result = m_companyFile.MergeOutlook2VEXO();
        }
        m_run.mlTransferCount = qint32(m_run.mcolTransfer.size());
        m_run.setProgressValue(0);
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.MergeCollections"), error);
        result = false;
    }
    return result;
}

bool FProcess::ImportToOutlook()
{
    return m_contacts->ImportToOutlook();
}

bool FProcess::ImportToVEXO()
{
    return m_companyFile.ImportToVEXO();
}

void FProcess::windUp(bool bOK)
{
    try {
        m_companyFile.disconnect();
        m_contacts->disconnect();
        closeRecord(bOK);
        if (!m_run.mbApplicationCancelled) {
            m_run.mbApplicationCancelled = !bOK;
        }
        mbFinished = true;
        m_progress.setPointer(RunProgress::Pointer::Default);
        m_summary.SetCaption(m_run.mbUserCancelled, m_run.mbApplicationCancelled);
        if (!Form_QueryUnload(closedByCode)) {
            m_progress.unload();
        }
    } catch (const std::exception&) {
        // The wind-up runs with errors ignored: the run is over either way.
    }
}

namespace {

// A server's address may carry a password; no record keeps one.
QString withoutPassword(const QString& database)
{
    QUrl url(database);
    if (!url.isValid() || url.scheme().size() < 2 || url.password().isEmpty()) {
        return database;
    }
    url.setPassword(QString());
    return url.toString();
}

// How many records a completed run leaves: the registry's KeepRuns, else 10.
qint32 keptRuns(ProgramContext& context)
{
    const QString kept = MMain::GetRegValue(context, MMain::HKEY_LOCAL_MACHINE, MMain::brindleKey(),
                                            QStringLiteral("KeepRuns"));
    return kept.isEmpty() ? 10 : qMax(1, MMain::String2Long(kept, 10));
}

} // namespace

// A run whose changes cannot be recorded changes nothing.
bool FProcess::startRecord()
{
    try {
        m_record = RunRecord::create(
            runsFolder(),
            m_settings.glTransferAction == RunSettings::Import ? QStringLiteral("import")
                                                               : QStringLiteral("export"),
            {{QStringLiteral("companyFile"), withoutPassword(m_settings.options().Database())},
             {QStringLiteral("store"), contacts::Application::defaultRoot()}});
        m_run.record = m_record.get();
        return true;
    } catch (const std::exception& error) {
        m_context.logError(QStringLiteral("FProcess.ProcessData"), error);
        return false;
    }
}

// A record of no change is dropped, so that undo means the last run that changed something.
void FProcess::closeRecord(bool completed)
{
    if (!m_record) {
        return;
    }
    const QString folder = m_record->folder();
    const bool empty = m_record->isEmpty();
    m_run.record = nullptr;
    m_record.reset();
    if (empty) {
        QDir(folder).removeRecursively();
    } else if (completed) {
        pruneRuns(runsFolder(), keptRuns(m_context));
    }
}

bool FProcess::SetTransferFilterOptions()
{
    const auto copy = [this](bool& member, auto option) {
        try {
            member = option(m_settings.options());
            return true;
        } catch (const std::exception& error) {
            m_context.logError(QStringLiteral("FProcess.SetTransferFilterOptions"), error);
            return false;
        }
    };
    bool ok = copy(m_run.mbCustomers, [](const clsOptions& o) { return o.Customers(); });
    ok = copy(m_run.mbSuppliers, [](const clsOptions& o) { return o.Suppliers(); }) && ok;
    ok = copy(m_run.mbPersonal, [](const clsOptions& o) { return o.Personal(); }) && ok;
    ok = copy(m_run.mbEmployees, [](const clsOptions& o) { return o.Employees(); }) && ok;
    return ok;
}

void FProcess::DisplayOutlookWarning()
{
    try {
        if (!m_settings.gbShowOutlookWarning) {
            return;
        }
        m_progress.setPointer(RunProgress::Pointer::Default);
        FOutlookWarning notice(m_settings);
        notice.Form_Load();
        m_prompts.showNotice(notice);
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
    } catch (const std::exception&) {
        // The notice only informs; the run goes on without it.
    }
}

bool FProcess::Form_QueryUnload(qint32 unloadMode)
{
    if (unloadMode == closedByUser && m_run.mbUserCancelled && !mbFinished) {
        return true;
    }
    if (!m_settings.gbExiting) {
        if (!mbFinished) {
            if (askCancel()) {
                m_cancelEnabled = false;
                m_progress.setButtonsEnabled(m_cancelEnabled, m_helpEnabled);
                m_run.mbUserCancelled = true;
                m_run.mbApplicationCancelled = true;
            }
            return true;
        }
        showSummary();
    }
    m_companyFile.releaseImportCollections();
    m_companyFile.disconnect();
    return false;
}

void FProcess::showSummary()
{
    m_summary.TotalCards = m_run.mlTotalCards;
    m_summary.RejectedCards = m_run.mlTotalCards - (m_run.mlAddedCards + m_run.mlUpdatedCards);
    m_summary.UpdatedCards = m_run.mlUpdatedCards;
    m_summary.AddedCards = m_run.mlAddedCards;
    m_summary.UpdateCounters(m_run.mbApplicationCancelled);
    m_prompts.showSummary(m_summary);
}

bool FProcess::askCancel()
{
    return m_prompts.messageBox(QStringLiteral("Cancel this operation? "), Prompts::Buttons::YesNo,
                                Prompts::Icon::Information,
                                QStringLiteral("VEXO Brindle")) != Prompts::No;
}

void FProcess::cmdCancel_Click()
{
    if (askCancel()) {
        m_run.mbUserCancelled = true;
        m_cancelEnabled = m_helpEnabled = false;
        m_progress.setButtonsEnabled(false, false);
    }
}

void FProcess::cmdHelp_Click()
{
    MMain::ShowHelp(m_context, QStringLiteral("Process"));
}

} // namespace brindle
