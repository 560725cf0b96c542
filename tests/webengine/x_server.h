#pragma once

#include <QString>
#include <sys/types.h>

namespace pbtest {

// A private X server (Xvfb) for this test program: the film and page surfaces meet only
// on a real display, which the offscreen platform does not have.
class XServer {
public:
    XServer() = default;
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    // Starts Xvfb on a display it picks itself; returns ":N", or an empty string with `error` set.
    QString start(QString* error);

private:
    pid_t m_pid = -1;
};

} // namespace pbtest
