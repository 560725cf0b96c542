#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

namespace pbbench {

// One piece of work to time; `prepare` runs untimed before it and `after` untimed after it.
struct Work {
    std::function<void()> run;
    std::function<void()> prepare = {};
    std::function<void()> after = {};
};

// Code that leaves the upper halves of the vector registers in use (the application object's start-up
// does) makes every later SSE instruction of the thread pay a penalty, up to three times the time,
// until the next vzeroupper. Each timed run starts from the clean state, whatever ran before it.
inline void cleanVectorState() {
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx")) asm volatile("vzeroupper");
#endif
}

// The best times in milliseconds of a baseline and of the operations timed by turns with it.
struct Turns {
    double base = 1e300;
    std::vector<double> ops;
};

// One run of `w` in milliseconds, its preparation and aftermath untimed.
inline double timeOnce(const Work& w) {
    if (w.prepare) w.prepare();
    cleanVectorState();
    QElapsedTimer t;
    t.start();
    w.run();
    const double ms = t.nsecsElapsed() / 1e6;
    if (w.after) w.after();
    return ms;
}

// Runs the baseline before each operation, round after round (baseline, first operation, baseline,
// second operation, ...), and keeps the best of each: the two meet the same load and the same state
// of the disk, so their ratio means the same on a busy machine as on a quiet one. The operations run
// in their order within a round, so one may undo what the one before it did.
inline Turns byTurns(const Work& base, const std::vector<Work>& ops, int rounds = 7) {
    Turns turns;
    turns.ops.assign(ops.size(), 1e300);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < ops.size(); ++i) {
            turns.base = std::min(turns.base, timeOnce(base));
            turns.ops[i] = std::min(turns.ops[i], timeOnce(ops[i]));
        }
    }
    return turns;
}

} // namespace pbbench
