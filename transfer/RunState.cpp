#include "RunState.h"

#include "dialogs/FSummary.h"
#include "startup/ProgramContext.h"
#include "startup/RunProgress.h"

namespace brindle {

RunState::RunState(ProgramContext& context, RunSettings& settings, RunProgress& progress,
                   FSummary& summary)
    : context(context), settings(settings), prompts(context.prompts()), progress(progress),
      summary(summary)
{}

void RunState::DoEvents()
{
    progress.pumpMessages();
}

void RunState::AdvanceProgress(double dStep)
{
    setProgressValue(m_progressValue + dStep);
    DoEvents();
}

void RunState::setProgressValue(double value)
{
    m_progressValue = qMin(value, 100.0);
    progress.setValue(m_progressValue);
}

void RunState::rejectCard(const TarvoCards::CCard& card, const QString& reason)
{
    mcolRejected.append(card);
    mcolRejected.last().TransferMessage = reason;
}

bool RunState::comparedOne(double step)
{
    progress.setCaption(QStringLiteral("Comparing Databases..."));
    AdvanceProgress(step);
    return !mbUserCancelled;
}

bool RunState::merged(const TarvoCards::CCard& card, const std::optional<QString>& refusal,
                      double step)
{
    if (!refusal) {
        ++summary.tally.skipped;
    } else if (refusal->isEmpty()) {
        mcolTransfer.push_back(card);
    } else {
        rejectCard(card, *refusal);
    }
    return comparedOne(step);
}

RunSide::RunSide(RunState& run)
    : m_run(run), m_context(run.context), m_settings(run.settings), m_prompts(run.prompts),
      m_progress(run.progress), m_summary(run.summary)
{}

} // namespace brindle
