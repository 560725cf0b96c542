#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <functional>

namespace pbbench {

// Best of several runs, in milliseconds; `prepare` runs untimed before each.
inline double best(const std::function<void()>& work, const std::function<void()>& prepare = {},
                   int runs = 7) {
    double bestMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        QElapsedTimer t;
        t.start();
        work();
        bestMs = std::min(bestMs, t.nsecsElapsed() / 1e6);
    }
    return bestMs;
}

} // namespace pbbench
