#pragma once

#include "FAdvanced.h"
#include "FChooseAction.h"
#include "FMain.h"
#include "carddav/RunSync.h"
#include "review/FSummary.h"
#include "run/FProcess.h"

#include <functional>
#include <memory>

namespace brindle {

class Prompts;
class RunProgress;

// The wizard's forms, one instance each, and the ports a run reaches the
// user through. A front end makes one, loads it and shows the first screen.
class Forms
{
public:
    using ProcessFactory = std::function<std::unique_ptr<FProcess>(ProgramContext&, RunSettings&,
                                                                   RunProgress&, FSummary&)>;

    Forms(ProgramContext& context, RunSettings& settings, RunProgress& progress);
    Q_DISABLE_COPY(Forms)

    // Loads, hidden, what a normal start needs before the action screen
    // comes up: the summary, the settings and the action screen.
    void LoadForNormalStart();

    ProgramContext& context;
    RunSettings& settings;
    Prompts& prompts;
    RunProgress& progress;
    // Makes the run of StartProcess; tests give runs with their own steps.
    ProcessFactory processFactory;
    // Whether a run syncs with the CardDAV server besides the registry's say.
    carddav::SyncWish carddavSync;

    FMain fMain{context, settings};
    FSummary fSummary{context, settings};
    FAdvanced fAdvanced{*this};
    FChooseAction fChooseAction{*this};
};

} // namespace brindle
