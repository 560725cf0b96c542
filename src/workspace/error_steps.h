#pragma once

#include "platform/vb_error.h"

#include <functional>

namespace pb {

// How a procedure meets a failing step.
enum class OnError {
    Ignore,             // skip the failing step, go on with the next
    LeaveSilently,      // leave the procedure, say nothing
    Standard,           // the standard error dialog: Abort, Retry, Ignore
    StandardCancelRule, // the same, but a cancelled dialog leaves silently
    StandardNoIgnore,   // the dialog for a step nothing may go past: Ignore leaves like Abort
};

enum class ErrorAnswer { Abort, Retry, Ignore };

// The standard error dialog for one error: asks, stores the answer in
// LastErrorAnswer and returns it.
ErrorAnswer standardErrorDialog(const VbError& e);
// The same title, buttons and stored answer with the error's own description as message:
// for failures whose number alone would tell the user something untrue or nothing.
ErrorAnswer describedErrorDialog(const VbError& e);
// The second form of the dialog (number and description as message).
ErrorAnswer secondFormErrorDialog(const VbError& e);

// Runs the steps of one procedure under one error policy:
//     Steps step(OnError::Standard);
//     if (!step([&] { ... })) return;   // false: the procedure is left
class Steps {
public:
    using Handler = std::function<ErrorAnswer(const VbError&)>;

    explicit Steps(OnError mode);
    explicit Steps(Handler handler) : m_handler(std::move(handler)) {}

    bool operator()(const std::function<void()>& step);
    // True once a step has left the procedure (Abort or a silent leave).
    bool left() const { return m_left; }

private:
    Handler m_handler;
    bool m_left = false;
};

// Any exception as the error a handler would see.
VbError asVbError(std::exception_ptr e);

} // namespace pb
