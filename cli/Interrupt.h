#pragma once

#include <QtGlobal>

namespace brindle::cli::interrupt {

// Ctrl-C or SIGTERM while a run is under way: the first asks the run to
// cancel (as a confirmed Cancel), a second one ends the program at once
// with status 1.
class Guard
{
public:
    Guard();
    ~Guard();
    Q_DISABLE_COPY(Guard)
};

// True once for the first Ctrl-C, when the run is to hear of it.
bool takePending();
// Ctrl-C was pressed since the guard was made.
bool requested();

// The terminal's settings to put back when a second Ctrl-C ends the
// program while a key is awaited.
void rememberTerminal(const void* settings);
void forgetTerminal();

} // namespace brindle::cli::interrupt
