#pragma once

#include <functional>
#include <random>
#include <sys/types.h>

namespace pbtest {

// Runs `work` over and over in a child process and kills it (SIGKILL, as a power cut would end
// it) a random number of microseconds between `from` and `to` after it started. True when the
// kill ended it; false when the child could not start or stopped on its own.
bool killedMidway(std::mt19937& random, useconds_t from, useconds_t to, const std::function<void()>& work);

} // namespace pbtest
