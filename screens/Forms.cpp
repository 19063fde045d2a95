#include "Forms.h"

#include "run/FProcess.h"

namespace brindle {

Forms::Forms(Prompts& prompts, RunProgress& progress)
    : prompts(prompts), progress(progress),
      processFactory([](Prompts& p, RunProgress& r, FSummary& s) {
          return std::make_unique<FProcess>(p, r, s);
      })
{}

void Forms::LoadForNormalStart()
{
    fSummary.Form_Load();
    fAdvanced.Load();
    fChooseAction.Load();
}

} // namespace brindle
