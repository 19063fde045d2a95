#pragma once

#include "ProgramContext.h"
#include "RunSettings.h"

#include <QString>

namespace brindle {

namespace MMain {

// The screen a front end opens after Main.
enum class FirstScreen
{
    None,        // the program ends
    Information, // FMain, shown modelessly; closing it ends the program
    ChooseAction // FChooseAction, shown modelessly
};
FirstScreen Main(ProgramContext& context, RunSettings& settings, const QString& commandLine);
// Whether shutdown writes the settings back to the registry.
enum class StoredSettings
{
    WriteBack,
    KeepAsTheyAre // nothing was run with them
};
// True when shutdown began with this call: the front end then unloads
// every open form (whose handlers call ExitApplication again).
bool ExitApplication(ProgramContext& context, RunSettings& settings,
                     StoredSettings stored = StoredSettings::WriteBack);
bool CheckApplicationFiles();
bool FileExists(const QString& path);
bool InitialiseCommonControls();
// The companion card library that must lie in the program folder (an
// installed program: in its private library folder).
QString companionFileName();

} // namespace MMain
} // namespace brindle
