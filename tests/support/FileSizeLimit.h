#pragma once

#include <csignal>
#include <sys/resource.h>

namespace brindle::test {

// Lets no file grow past limit bytes while it lives, so that writes fail midway.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit = 64)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace brindle::test
