#pragma once

#include "platform/vb_error.h"

#include <functional>

namespace pbtest {

// The error number a call raises, or 0 when it raises none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const pb::VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace pbtest
