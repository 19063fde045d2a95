#include "FChooseAction.h"

#include "Forms.h"
#include "ScreenTexts.h"
#include "carddav/RunSync.h"
#include "cardlib/ServerAddress.h"
#include "contactstore/Application.h"
#include "platform/PlatformError.h"
#include "run/FProcess.h"
#include "startup/Environment.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"
#include "startup/Settings.h"
#include "startup/Shell.h"

namespace brindle {

FChooseAction::FChooseAction(Forms& forms) : Form(forms.settings), m_forms(forms) {}

void FChooseAction::Form_Load()
{
    lblVersion = versionLabel();
    SetLastConnected();
    m_forms.fAdvanced.Load();
    cboRulesFilter.Clear();
    cboRulesFilter.AddItem(QStringLiteral("Update existing contacts"), RunSettings::UpdateExisting);
    cboRulesFilter.AddItem(QStringLiteral("Do not update existing contacts"),
                           RunSettings::KeepExisting);
    cboRulesFilter.AddItem(QStringLiteral("Ask me to confirm updates"), RunSettings::AskToConfirm);
    cboRulesFilter.ListIndex = 0;
}

void FChooseAction::Form_Activate()
{
    cmdToVEXO.enabled = cmdToOutlook.enabled = true;
    importLabelsEnabled = true;
    MMain::CBOSetListIndexFromItemData(cboRulesFilter, m_forms.settings.glRulesFilter);
    chkDontTransferInactive = m_forms.settings.glTransferInactives == 1;
    focus = QStringLiteral("cmdToOutlook");
}

void FChooseAction::SetLastConnected()
{
    if (const auto caption = lastConnectedCaption(m_forms.context)) {
        lblLastConnect = *caption;
    }
}

void FChooseAction::cmdSettings_Click()
{
    m_forms.settings.glTransferInactives = chkDontTransferInactive ? 1 : 0;
    m_forms.settings.glRulesFilter = cboRulesFilter.selectedItemData();
    FAdvanced& settings = m_forms.fAdvanced;
    settings.CustomField1 = m_forms.settings.glCustomField1;
    settings.CustomField2 = m_forms.settings.glCustomField2;
    settings.CustomField3 = m_forms.settings.glCustomField3;
    settings.Show();
    Hide();
}

void FChooseAction::cmdHelp_Click()
{
    MMain::ShowHelp(m_forms.context, QStringLiteral("ChooseAction"));
}

bool FChooseAction::Form_QueryUnload()
{
    return MMain::ExitApplication(m_forms.context, m_forms.settings);
}

bool FChooseAction::startTransfer(qint32 lTransferAction)
{
    MousePointer = Pointer::Hourglass;
    setButtonsEnabled(false);
    refreshWindow();
    bool unloadAll = false;
    try {
        bool bExitApplication = false;
        if (InitialiseSettings(bExitApplication)) {
            StartProcess(lTransferAction);
        } else if (bExitApplication) {
            unloadAll = MMain::ExitApplication(m_forms.context, m_forms.settings);
        }
    } catch (const std::exception& error) {
        m_forms.context.logError(lTransferAction == RunSettings::Import
                                     ? QStringLiteral("FChooseAction.cmdToVEXO_Click")
                                     : QStringLiteral("FChooseAction.cmdToOutlook_Click"),
                                 error);
    }
    MousePointer = Pointer::Default;
    setButtonsEnabled(true);
    refreshWindow();
    return unloadAll;
}

void FChooseAction::setButtonsEnabled(bool enabled)
{
    cmdToVEXO.enabled = cmdToOutlook.enabled = cmdSettings.enabled = enabled;
    Enabled = enabled;
}

bool FChooseAction::InitialiseSettings(bool& bExitApplication)
{
    try {
        m_forms.settings.glTransferInactives = chkDontTransferInactive ? 1 : 0;
        m_forms.settings.glRulesFilter = cboRulesFilter.selectedItemData();
        MMain::GetVEXOProduct(m_forms.settings);
        if (!MMain::CheckOutlookInstallation(m_forms.context)) {
            return false;
        }
        if (!MMain::CheckApplicationFiles()) {
            m_forms.prompts.messageBox(
                QStringLiteral("A Brindle System File is missing\r\nPlease re-install "
                               "Brindle\r\n\r\nIf this problem persists, please contact VEXO "
                               "support."),
                Prompts::Buttons::Ok, Prompts::Icon::Critical, QStringLiteral("VEXO Brindle"));
            return false;
        }
        if (!MMain::CheckVEXOInstallation(m_forms.context, m_forms.settings, bExitApplication)) {
            return false;
        }
        const QString database = m_forms.settings.options().Database();
        return TarvoCards::ServerAddress::names(database) || MMain::FileExists(database);
    } catch (const std::exception& error) {
        m_forms.context.logError(QStringLiteral("FChooseAction.InitialiseSettings"), error);
        return false;
    }
}

QList<WriteLocks::Target> FChooseAction::writtenByARun(const RunSettings& settings)
{
    return {{QStringLiteral("the company file"),
             settings.gobjOptions ? settings.gobjOptions->Database() : QString()},
            {QStringLiteral("the contact store"), contacts::Application::defaultRoot()}};
}

bool FChooseAction::StartProcess(qint32 lTransferAction)
{
    WriteLocks locks;
    if (const QString refusal = locks.acquire(writtenByARun(m_forms.settings));
        !refusal.isEmpty()) {
        m_forms.context.prompts().messageBox(
            refusal.at(0).toUpper() + refusal.mid(1) +
                QStringLiteral(". Try again when that run has ended."),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation, QStringLiteral("VEXO Brindle"));
        return false;
    }
    m_forms.settings.glTransferAction = lTransferAction;
    MMain::SaveRegistrySettings(m_forms.context, m_forms.settings);
    // A failed sync leaves the action screen up, and the run unstarted.
    carddav::RunSync sync(m_forms.context, m_forms.progress, m_forms.carddavSync);
    if (!sync.before(lTransferAction)) {
        return false;
    }
    const std::unique_ptr<FProcess> process = m_forms.processFactory(
        m_forms.context, m_forms.settings, m_forms.progress, m_forms.fSummary);
    m_forms.progress.show(*process);
    Hide();
    const bool ok = process->ProcessData();
    const bool completed = ok && !process->UserCancelled() && !process->ApplicationCancelled();
    return sync.after(lTransferAction, completed) && completed;
}

} // namespace brindle
