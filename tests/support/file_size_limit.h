#pragma once

#include <QtGlobal>
#include <csignal>
#include <sys/resource.h>

namespace pbtest {

// While it lives, no file may grow past `bytes`: a write that would extend one
// fails as on a full disk, without any help from the code under test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qsizetype bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit r = m_saved;
        r.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
};

} // namespace pbtest
