// Counts the store's flushes: this definition of syncfs takes the place of
// the C library's for the contact store linked into the tests, and calls it.
#include <dlfcn.h>
#include <unistd.h>

namespace brindle::test {

int& syncfsCalls()
{
    static int calls = 0;
    return calls;
}

} // namespace brindle::test

extern "C" int syncfs(int fd)
{
    using Syncfs = int (*)(int);
    static const auto real = reinterpret_cast<Syncfs>(dlsym(RTLD_NEXT, "syncfs"));
    ++brindle::test::syncfsCalls();
    return real ? real(fd) : -1;
}
