#include "webengine/engine_view.h"

#include <QApplication>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A private X server (Xvfb): the film and page surfaces meet only on a real display, which the
// offscreen platform does not have. Returns ":N" once it accepts clients, or "" if it never does.
std::string startXServer(pid_t& pid) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t parent = ::getpid();
    pid = ::fork();
    if (pid == 0) {
        // The server goes with this program, however the program ends (a crash, a ctest timeout).
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(1);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x900x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    // The server writes its display number and a line break once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (pid > 0 && ::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    return c == '\n' && !number.empty() ? ':' + number : std::string();
}

} // namespace

// Every test here runs on a private X server with the real browser engine and GStreamer.
int main(int argc, char** argv) {
    pid_t server = -1;
    const std::string display = startXServer(server);
    if (display.empty()) {
        std::fprintf(stderr, "Xvfb did not start (is the xvfb package installed?)\n");
        return 1;
    }
    qputenv("DISPLAY", display.c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    int result = 0;
    {
        QApplication app(argc, argv);
        pb::installEngineWebViews();
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    return result;
}
