#include "Console.h"

#include "Interrupt.h"

#include <termios.h>
#include <unistd.h>

namespace brindle::cli {

bool StdConsole::interactive() const
{
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
}

QChar StdConsole::readKey()
{
    m_err.flush();
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        // One key without Enter or echo; Ctrl-C still interrupts.
        termios raw = saved;
        raw.c_lflag &= tcflag_t(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        interrupt::rememberTerminal(&saved);
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    char key = 0;
    const ssize_t count = read(STDIN_FILENO, &key, 1);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        interrupt::forgetTerminal();
    }
    return count == 1 ? QChar::fromLatin1(key) : QChar();
}

} // namespace brindle::cli
