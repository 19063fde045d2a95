#include "Forms.h"

#include "run/FProcess.h"

namespace brindle {

Forms::Forms(ProgramContext& context, RunSettings& settings, RunProgress& progress)
    : context(context), settings(settings), prompts(context.prompts()), progress(progress),
      processFactory([](ProgramContext& c, RunSettings& s, RunProgress& r, FSummary& summary) {
          return std::make_unique<FProcess>(c, s, r, summary);
      })
{}

void Forms::LoadForNormalStart()
{
    fSummary.Form_Load();
    fAdvanced.Load();
    fChooseAction.Load();
}

} // namespace brindle
