#pragma once

#include "screens/Forms.h"

#include <QStringList>

namespace brindle::cli {

class Console;

// brindle-cli import|export "<option string>" [--rule update|keep|ask] [--inactive]:
// the run of the wizard's arrow buttons, from the same start, settings and
// checks, on the terminal. The rule and --inactive change this run only.
// Exit status: 0 complete, 1 cancelled or failed, 2 wrong use.
int transferCommand(ProgramContext& context, qint32 lTransferAction, const QStringList& args,
                    Console& console, const Forms::ProcessFactory& makeProcess = {});

} // namespace brindle::cli
