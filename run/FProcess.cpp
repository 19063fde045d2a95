#include "FProcess.h"

#include "contactstore/Application.h"
#include "review/FSummary.h"
#include "runs/RunFiles.h"
#include "runs/RunRecord.h"
#include "screens/Notices.h"
#include "startup/CardType.h"
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

constexpr qint32 importDirection = 1;
constexpr qint32 exportDirection = 2;
constexpr qint32 closedByUser = 0;
constexpr qint32 closedByCode = 1;

} // namespace

FProcess::FProcess(ProgramContext& context, RunSettings& settings, RunProgress& progress,
                   FSummary& summary)
    : m_context(context), m_settings(settings), m_prompts(context.prompts()), m_progress(progress),
      m_summary(summary)
{
    Form_Load();
}

FProcess::~FProcess() = default;

void FProcess::Form_Load()
{
    mbFinished = true;
    mbUserCancelled = false;
    mbBlankFieldNoticeShown = false;
}

bool FProcess::ProcessData()
{
    bool bOK = true;
    const auto goOn = [&] { return bOK && !mbUserCancelled; };
    try {
        mbFinished = false;
        mbApplicationCancelled = m_cancelAnswered = false;
        mlRulesFilter = m_settings.glRulesFilter;
        mcolRejected.clear();
        m_summary.tally = {};
        m_cancelEnabled = m_helpEnabled = true;
        m_progress.setButtonsEnabled(true, true);
        m_progress.setPointer(RunProgress::Pointer::Hourglass);

        SetTransferFilterOptions();
        m_progress.setPointer(RunProgress::Pointer::Hourglass);
        DoEvents();

        bOK = startRecord() && PopulateVEXODataObjects();
        if (bOK && m_settings.glTransferAction == importDirection) {
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
            const TarvoCards::CCardsColl* source = m_settings.glTransferAction == importDirection
                                                       ? mobjOutlookColl.get()
                                                       : mobjExistingCards.get();
            mlTotalCards = source ? qint32(source->Count()) : 0;
        }
        if (goOn()) {
            bOK = MergeCollections();
            DoEvents();
            if (goOn() && m_settings.glTransferAction == exportDirection) {
                bOK = ImportToOutlook();
            } else if (goOn() && m_settings.glTransferAction == importDirection) {
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

void FProcess::windUp(bool bOK)
{
    try {
        if (mobjVEXOConnection) {
            mobjVEXOConnection->Disconnect();
            mobjVEXOConnection.reset();
        }
        mobjOutlookNS.reset();
        mobjOutlookApp.reset();
        closeRecord(bOK);
        if (!mbApplicationCancelled) {
            mbApplicationCancelled = !bOK;
        }
        mbFinished = true;
        m_progress.setPointer(RunProgress::Pointer::Default);
        m_summary.SetCaption(mbUserCancelled, mbApplicationCancelled);
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
            m_settings.glTransferAction == importDirection ? QStringLiteral("import")
                                                           : QStringLiteral("export"),
            {{QStringLiteral("companyFile"), withoutPassword(m_settings.options().Database())},
             {QStringLiteral("store"), contacts::Application::defaultRoot()}});
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
    bool ok = copy(mbCustomers, [](const clsOptions& o) { return o.Customers(); });
    ok = copy(mbSuppliers, [](const clsOptions& o) { return o.Suppliers(); }) && ok;
    ok = copy(mbPersonal, [](const clsOptions& o) { return o.Personal(); }) && ok;
    ok = copy(mbEmployees, [](const clsOptions& o) { return o.Employees(); }) && ok;
    return ok;
}

void FProcess::AdvanceProgress(double dStep)
{
    setProgressValue(m_progressValue + dStep);
    DoEvents();
}

void FProcess::rejectCard(const TarvoCards::CCard& card, const QString& reason)
{
    mcolRejected.append(card);
    mcolRejected.last().TransferMessage = reason;
}

bool FProcess::mergeSelectedTypes(const TarvoCards::CCardsColl& cards,
                                  const std::function<void(const TarvoCards::CCard&)>& take)
{
    const double step = 100.0 / qMax(mlTotalCards, 1);
    for (const TarvoCards::CCard& card : cards) {
        const std::optional<CardType> type = CardType::fromLetter(card.CardTypeID);
        if (type && type->selectedBy(mbCustomers, mbSuppliers, mbEmployees, mbPersonal)) {
            take(card);
        } else {
            ++m_summary.tally.skipped;
        }
        m_progress.setCaption(QStringLiteral("Comparing Databases..."));
        AdvanceProgress(step);
        if (mbUserCancelled) {
            return false;
        }
    }
    return true;
}

void FProcess::setProgressValue(double value)
{
    m_progressValue = qMin(value, 100.0);
    m_progress.setValue(m_progressValue);
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
    if (unloadMode == closedByUser && mbUserCancelled && !mbFinished) {
        return true;
    }
    if (!m_settings.gbExiting) {
        if (!mbFinished) {
            if (askCancel()) {
                m_cancelEnabled = false;
                m_progress.setButtonsEnabled(m_cancelEnabled, m_helpEnabled);
                mbUserCancelled = true;
                mbApplicationCancelled = true;
            }
            return true;
        }
        showSummary();
    }
    releaseImportCollections();
    if (mobjVEXOConnection) {
        mobjVEXOConnection->Disconnect();
        mobjVEXOConnection.reset();
    }
    return false;
}

void FProcess::showSummary()
{
    m_summary.TotalCards = mlTotalCards;
    m_summary.RejectedCards = mlTotalCards - (mlAddedCards + mlUpdatedCards);
    m_summary.UpdatedCards = mlUpdatedCards;
    m_summary.AddedCards = mlAddedCards;
    m_summary.UpdateCounters(mbApplicationCancelled);
    m_prompts.showSummary(m_summary);
}

void FProcess::releaseImportCollections()
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

bool FProcess::askCancel()
{
    return m_prompts.messageBox(QStringLiteral("Cancel this operation? "), Prompts::Buttons::YesNo,
                                Prompts::Icon::Information,
                                QStringLiteral("VEXO Brindle")) != Prompts::No;
}

void FProcess::cmdCancel_Click()
{
    if (askCancel()) {
        mbUserCancelled = true;
        m_cancelEnabled = m_helpEnabled = false;
        m_progress.setButtonsEnabled(false, false);
    }
}

void FProcess::cmdHelp_Click()
{
    MMain::ShowHelp(m_context, QStringLiteral("Process"));
}

} // namespace brindle
