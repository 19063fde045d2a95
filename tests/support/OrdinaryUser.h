#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace brindle::test {

// Runs check as an ordinary user: root reads and writes past permissions, so
// under root it runs in a child process as nobody.
inline bool asOrdinaryUser(const std::function<bool()>& check)
{
    if (::geteuid() != 0) {
        return check();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace brindle::test
