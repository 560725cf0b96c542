#include "kill_midway.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace pbtest {

bool killedMidway(std::mt19937& random, useconds_t from, useconds_t to, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        try {
            for (;;)
                work();
        } catch (...) {
        }
        ::_exit(1);
    }
    ::usleep(std::uniform_int_distribution<useconds_t>(from, to)(random));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

} // namespace pbtest
