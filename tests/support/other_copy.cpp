#include "other_copy.h"

#include <QLockFile>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pbtest {

namespace {

// A child that takes the lock, tells the parent whether it did, and then waits or ends.
pid_t startHolder(const QString& lockFile, bool wait, bool* holds) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        // A test that dies leaves no holder behind.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        QLockFile lock(lockFile);
        lock.setStaleLockTime(0);
        const char took = lock.tryLock(0) ? 1 : 0;
        if (::write(fds[1], &took, 1) != 1) ::_exit(2);
        while (wait)
            ::pause();
        // Ends without the lock file's destructor, as a kill would.
        ::_exit(0);
    }
    ::close(fds[1]);
    char took = 0;
    *holds = child > 0 && ::read(fds[0], &took, 1) == 1 && took == 1;
    ::close(fds[0]);
    return child;
}

} // namespace

OtherCopy::OtherCopy(const QString& lockFile) {
    m_child = startHolder(lockFile, true, &m_holds);
}

OtherCopy::~OtherCopy() {
    if (m_child <= 0) return;
    ::kill(m_child, SIGKILL);
    ::waitpid(m_child, nullptr, 0);
}

bool leaveDeadCopysLock(const QString& lockFile) {
    bool holds = false;
    const pid_t child = startHolder(lockFile, false, &holds);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return holds;
}

} // namespace pbtest
