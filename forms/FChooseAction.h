#pragma once

#include "ComboBox.h"
#include "Form.h"
#include "platform/WriteLocks.h"
#include "startup/RunSettings.h"

namespace brindle {

class Forms;

// The action screen of a normal start: the update rule, the export of
// inactive cards, the settings, and the two arrows that start a run.
class FChooseAction : public Form
{
public:
    explicit FChooseAction(Forms& forms);

    void SetLastConnected();
    // Takes the screen's choices into the settings and checks the
    // environment; True when a run may start. Sets bExitApplication when
    // the program must end.
    bool InitialiseSettings(bool& bExitApplication);
    // Runs one transfer (1 import, 2 export) and returns when the summary
    // is open; True when the run completed.
    // Refused, with a message naming the holder, while another run holds
    // the lock of the company file or of the contact store.
    bool StartProcess(qint32 lTransferAction);
    // What a run writes, each locked while it runs.
    static QList<WriteLocks::Target> writtenByARun(const RunSettings& settings);

    void cmdSettings_Click();
    // The arrows. True when the program must end: the front end then
    // unloads every form.
    bool cmdToVEXO_Click() { return startTransfer(RunSettings::Import); }
    bool cmdToOutlook_Click() { return startTransfer(RunSettings::Export); }
    void cmdHelp_Click();
    // The close box ends the program; true: unload every form.
    bool Form_QueryUnload();

    // What the window shows.
    QString caption = QStringLiteral("Brindle - Import and Export Options");
    Control cmdToVEXO;
    Control cmdToOutlook;
    Control cmdSettings{QStringLiteral("S&ettings")};
    bool importLabelsEnabled = true;
    ComboBox cboRulesFilter;
    bool chkDontTransferInactive = false;
    QString lblLastConnect = QStringLiteral("Last Connected:");
    QString lblVersion;

protected:
    void Form_Load() override;
    void Form_Activate() override;

private:
    bool startTransfer(qint32 lTransferAction);
    void setButtonsEnabled(bool enabled);

    Forms& m_forms;
};

} // namespace brindle
