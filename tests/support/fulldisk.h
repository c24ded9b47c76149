#pragma once

#include <csignal>
#include <sys/resource.h>

namespace quendra::test {

// While it lives, no file of this process grows beyond bytes, as on a full disk: a write
// past it fails (EFBIG) instead of raising SIGXFSZ.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : m_signal(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit full = m_old;
        full.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &full);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit m_old{};
    void (*m_signal)(int);
};

} // namespace quendra::test
