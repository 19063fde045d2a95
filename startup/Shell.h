#pragma once

#include <QString>

namespace brindle {
class ProgramContext;
}

namespace brindle::MMain {

// Opens a file with the desktop's default application; returns the shell's
// code (above 32 is success).
qint32 ExecuteFile(ProgramContext& context, const QString& sFile, const QString& sParameters);
// ExecuteFile, and a message naming the failure when it fails.
void LaunchFile(ProgramContext& context, const QString& sFile, const QString& sParameters);
// The message text of a shell code of 32 or less.
QString shellErrorText(qint32 code);
// The help file of a screen (ChooseAction, Settings, Process, Summary),
// opened when the registry names one that exists; nothing happens otherwise.
void ShowHelp(ProgramContext& context, const QString& screen);

} // namespace brindle::MMain
