#pragma once

#include <csignal>
#include <sys/resource.h>

namespace kvx::test {

// A disk that fills up after `bytes` bytes of any one file: writes beyond it fail with EFBIG instead of
// killing the process. In force for the object's lifetime.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    void (*m_previousHandler)(int);
    rlimit m_saved{};
};

} // namespace kvx::test
