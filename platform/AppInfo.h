#pragma once

#include <QString>

namespace brindle {

// The program folder (App.Path): BRINDLE_APP_DIR when set, else the folder
// of the running executable.
QString appPath();
// The executable's base name (App.EXEName).
QString appExeName();

} // namespace brindle
