#include "RunState.h"

#include "dialogs/FSummary.h"
#include "startup/CardType.h"
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

bool RunState::mergeEach(const TarvoCards::CCardsColl& cards, const Refusal& refusal)
{
    const double step = 100.0 / qMax(mlTotalCards, 1);
    for (const TarvoCards::CCard& card : cards) {
        const std::optional<CardType> type = CardType::fromLetter(card.CardTypeID);
        const std::optional<QString> refused =
            type && type->selectedBy(mbCustomers, mbSuppliers, mbEmployees, mbPersonal)
                ? refusal(card)
                : std::nullopt;
        if (!refused) {
            ++summary.tally.skipped;
        } else if (refused->isEmpty()) {
            mcolTransfer.push_back(card);
        } else {
            mcolRejected.append(card);
            mcolRejected.last().TransferMessage = *refused;
        }
        progress.setCaption(QStringLiteral("Comparing Databases..."));
        AdvanceProgress(step);
        if (mbUserCancelled) {
            return false;
        }
    }
    return true;
}

RunSide::RunSide(RunState& run)
    : m_run(run), m_context(run.context), m_settings(run.settings), m_prompts(run.prompts),
      m_progress(run.progress), m_summary(run.summary)
{}

} // namespace brindle
