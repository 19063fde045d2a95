#pragma once

#include "accounting/CompanyFileSide.h"
#include "outlook/ContactSide.h"
#include "startup/ProgramContext.h"
#include "startup/RunProgress.h"
#include "startup/RunSettings.h"
#include "transfer/RunState.h"

#include <memory>

namespace brindle {

class FSummary;
class RunRecord;
class Prompts;

// One synchronisation run from the first connection to the summary: the
// progress window's logic and the driver of the run's steps. The work is
// the two sides': the company file's (accounting/) and the contacts'
// (outlook/); what they share is the run's state, which the driver owns.
// It reaches the user only through its ports.
class FProcess : public RunProgress::Controls
{
public:
    FProcess(ProgramContext& context, RunSettings& settings, RunProgress& progress,
             FSummary& summary);
    ~FProcess() override;
    Q_DISABLE_COPY(FProcess)

    void Form_Load();
    // Runs one transfer in the direction of glTransferAction; True when
    // every step succeeded. Unloads the progress window before it returns.
    bool ProcessData();
    bool UserCancelled() const { return m_run.mbUserCancelled; }
    bool ApplicationCancelled() const { return m_run.mbApplicationCancelled; }
    bool SetTransferFilterOptions();
    void AdvanceProgress(double dStep) { m_run.AdvanceProgress(dStep); }
    void DisplayOutlookWarning();
    // True refuses the unload; unload mode 0 is the user's close box.
    bool Form_QueryUnload(qint32 unloadMode);
    void cmdCancel_Click() override;
    void cmdHelp_Click() override;
    bool closeRequested() override { return Form_QueryUnload(0); }
    bool programExiting() const override { return m_settings.gbExiting; }

    // The steps the driver calls, by their names; True goes on. Each has
    // its side do the work.
    virtual bool PopulateVEXODataObjects();
    virtual bool CreateOutlookFolders();
    virtual bool BackupExistingCards();
    virtual bool PopulateOutlookDataObjects();
    virtual bool MergeCollections();
    virtual bool ImportToOutlook();
    virtual bool ImportToVEXO();

    // What the run counted, for the summary and the tests.
    qint32 TotalCards() const { return m_run.mlTotalCards; }
    qint32 AddedCards() const { return m_run.mlAddedCards; }
    qint32 UpdatedCards() const { return m_run.mlUpdatedCards; }
    const QList<TarvoCards::CCard>& Rejected() const { return m_run.mcolRejected; }

protected:
    ProgramContext& m_context;
    RunSettings& m_settings;
    Prompts& m_prompts;
    RunProgress& m_progress;
    FSummary& m_summary;

    RunState m_run;
    CompanyFileSide m_companyFile{m_run};
    // A test may give the run a contact side of its own.
    std::unique_ptr<ContactSide> m_contacts = std::make_unique<ContactSide>(m_run);
    std::unique_ptr<RunRecord> m_record;
    bool mbFinished = true;

    void DoEvents() { m_run.DoEvents(); }

private:
    void windUp(bool bOK);
    bool startRecord();
    void closeRecord(bool completed);
    void showSummary();
    bool askCancel();

    bool m_cancelEnabled = true;
    bool m_helpEnabled = true;
};

} // namespace brindle
