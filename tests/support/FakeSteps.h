#pragma once

#include "dialogs/FUpdateChoice.h"
#include "forms/Forms.h"
#include "startup/MMain.h"
#include "startup/Prompts.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>

namespace brindle::test {

class FakeSteps;

// Differences in the first count phone numbers, from "old" to newValue.
inline Differences phoneChanges(int count, const QString& newValue = "new")
{
    Differences list;
    for (int i = 0; i < count; ++i) {
        list.append({QString("Phone%1").arg(i + 1), "old", newValue});
    }
    return list;
}

// What the fake steps of a run do and what they saw. The test owns it, since
// the run itself is made by the screens and ends with them.
struct StepScript
{
    QSet<QString> failing;
    qint32 sourceCards = 0;
    qint32 added = 0;
    qint32 updated = 0;
    // Asked by the transfer step, one confirmation each, while the run's rule asks.
    QList<Differences> confirmations;
    // Run inside the named step, after its pump.
    QHash<QString, std::function<void(FakeSteps&)>> during;
    QString reportPath;

    QStringList calls;
    QList<qint32> answers;
    qint32 rulesFilterAtStart = -1;
    qint32 transferInactivesAtStart = -1;
    QString switchesAtStart; // the selected card types and the rule, as "C-S-E-P-rule 0"
};

// A run whose steps record their call, pump once and succeed unless told to
// fail; the transfer step asks its confirmations as the comparison does.
class FakeSteps : public FProcess
{
public:
    FakeSteps(StepScript& script, ProgramContext& context, RunSettings& settings,
              RunProgress& progress, FSummary& summary)
        : FProcess(context, settings, progress, summary), m_script(script)
    {}

    static Forms::ProcessFactory factory(StepScript& script)
    {
        return [&script](ProgramContext& context, RunSettings& settings, RunProgress& progress,
                         FSummary& summary) {
            return std::make_unique<FakeSteps>(script, context, settings, progress, summary);
        };
    }

    bool PopulateVEXODataObjects() override
    {
        m_script.rulesFilterAtStart = m_run.mlRulesFilter;
        m_script.transferInactivesAtStart = m_settings.glTransferInactives;
        m_script.switchesAtStart =
            QString("%1%2%3%4rule %5")
                .arg(m_run.mbCustomers ? "C-" : "", m_run.mbSuppliers ? "S-" : "",
                     m_run.mbEmployees ? "E-" : "", m_run.mbPersonal ? "P-" : "")
                .arg(m_run.mlRulesFilter);
        m_companyFile.mobjExistingCards = cards();
        return step("PopulateVEXODataObjects");
    }
    bool CreateOutlookFolders() override { return step("CreateOutlookFolders"); }
    bool BackupExistingCards() override { return step("BackupExistingCards"); }
    bool PopulateOutlookDataObjects() override
    {
        m_run.mobjOutlookColl = cards();
        return step("PopulateOutlookDataObjects");
    }
    bool MergeCollections() override { return step("MergeCollections"); }
    bool ImportToOutlook() override { return transfer("ImportToOutlook"); }
    bool ImportToVEXO() override { return transfer("ImportToVEXO"); }

    // The progress port, for steps that draw on it.
    RunProgress& progress() { return m_progress; }

private:
    std::unique_ptr<TarvoCards::CCardsColl> cards() const
    {
        auto collection = std::make_unique<TarvoCards::CCardsColl>();
        for (qint32 i = 0; i < m_script.sourceCards; ++i) {
            collection->AddNew();
        }
        return collection;
    }
    bool step(const QString& name)
    {
        m_script.calls << name;
        DoEvents();
        if (const auto action = m_script.during.value(name)) {
            action(*this);
        }
        return !m_script.failing.contains(name);
    }
    bool transfer(const QString& name)
    {
        for (const Differences& changes : std::as_const(m_script.confirmations)) {
            if (m_run.mlRulesFilter != RunSettings::AskToConfirm) {
                break;
            }
            const qint32 answer = confirm(changes);
            m_script.answers << answer;
            if (answer == FUpdateChoice::CancelRun) {
                m_run.mbUserCancelled = true;
                break;
            }
            if (answer == FUpdateChoice::UpdateAll) {
                m_run.mlRulesFilter = RunSettings::UpdateExisting;
            }
        }
        m_run.mlAddedCards = m_script.added;
        m_run.mlUpdatedCards = m_script.updated;
        m_summary.ReportFilePath = m_script.reportPath;
        return step(name);
    }
    // Shown again until answered, as the comparison's confirmation does.
    qint32 confirm(const Differences& changes)
    {
        FUpdateChoice dialog(m_prompts);
        TarvoCards::CCard card;
        card.LastName = "Acme Traders";
        card.CardIdentification = "CUS001";
        do {
            dialog.objVEXOCard = card;
            dialog.setDifferences(changes);
            dialog.TransferAction = m_settings.glTransferAction;
            dialog.NewVEXOCard = changes.isEmpty();
            m_prompts.showUpdateChoice(dialog);
        } while (dialog.UserChoice == FUpdateChoice::NoAnswer);
        return dialog.UserChoice;
    }

    StepScript& m_script;
};

} // namespace brindle::test
