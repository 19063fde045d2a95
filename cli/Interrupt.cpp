#include "Interrupt.h"

#include <csignal>
#include <cstring>
#include <termios.h>
#include <unistd.h>

namespace brindle::cli::interrupt {

namespace {

volatile sig_atomic_t presses = 0;
volatile sig_atomic_t delivered = 0;
volatile sig_atomic_t terminalSaved = 0;
termios savedTerminal{};
struct sigaction previousInterrupt
{};
struct sigaction previousTerminate
{};

void write(const char* text)
{
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
}

void onInterrupt(int)
{
    presses = presses + 1;
    if (presses == 1) {
        write("\nbrindle-cli: cancelling; press Ctrl-C again to end at once\n");
        return;
    }
    if (terminalSaved) {
        tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    }
    write("\nbrindle-cli: ended at once\n");
    _exit(1);
}

} // namespace

Guard::Guard()
{
    presses = 0;
    delivered = 0;
    struct sigaction action
    {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a key being awaited hears of it
    sigaction(SIGINT, &action, &previousInterrupt);
    // A scheduler or a shutdown stops a run with SIGTERM: a cancel too.
    sigaction(SIGTERM, &action, &previousTerminate);
}

Guard::~Guard()
{
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
}

bool takePending()
{
    if (presses > 0 && !delivered) {
        delivered = 1;
        return true;
    }
    return false;
}

bool requested()
{
    return presses > 0;
}

void rememberTerminal(const void* settings)
{
    std::memcpy(&savedTerminal, settings, sizeof savedTerminal);
    terminalSaved = 1;
}

void forgetTerminal()
{
    terminalSaved = 0;
}

} // namespace brindle::cli::interrupt
