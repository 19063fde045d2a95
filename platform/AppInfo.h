#pragma once

#include <QString>

namespace brindle {

// The card library the program is shipped with.
inline constexpr char cardLibraryFileName[] = "libtarvocards.so";

// Where the program's files are. A folder holding the card library beside
// the executable (the build tree, a copied program folder) is the program
// folder itself. An installed program keeps its files in the user's data
// folder and its card library in its private library folder. BRINDLE_APP_DIR
// stands for all three.
struct ProgramFolders
{
    QString program;    // the log, the reports, the run records
    QString executable; // where the executable is recorded to be
    QString library;    // where the card library is looked for
    bool installed = false;
};

// fromEnvironment: BRINDLE_APP_DIR; dataHome: the user's data folder
// (~/.local/share).
ProgramFolders programFolders(const QString& fromEnvironment, const QString& exeFolder,
                              const QString& dataHome);

// The program folder (App.Path) of the running program; made when an
// installed program runs for the first time.
QString appPath();
// The running program's ProgramFolders.
ProgramFolders appFolders();
// The executable's base name (App.EXEName).
QString appExeName();

} // namespace brindle
