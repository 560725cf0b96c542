// The picture helper. The program starts it with a socket as its standard input and asks it
// for each picture from outside; it decodes each in a child of its own whose memory, CPU time
// and output the kernel limits, so a picture that would take gigabytes or minutes ends that
// child, never the program. The helper itself never decodes: it only starts the children.
#include "platform/picture_decoder.h"
#include "platform/picture_wire.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace pb::picture_wire;

// What one decode may hold beyond the helper's own memory: a 24-megapixel progressive photo
// keeps every coefficient beside its pixels (about 240 MB), a 16-bit PNG of the same size 192 MB.
constexpr int64_t kDecoderBytes = int64_t(256) << 20;

// The memory the helper holds as the kernel counts it against the data limit.
int64_t dataBytes() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long long kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmData: %lld kB", &kb) == 1) break;
    std::fclose(status);
    return int64_t(kb) * 1024;
}

// Every decoder's plugin is loaded here once, so that no child loads it again.
void warmDecoders() {
    QImage sample(8, 8, QImage::Format_RGB32);
    sample.fill(Qt::gray);
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QImageWriter(&out, format).write(sample);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        QImageReader(&in, format).read();
    }
}

// One request and its two descriptors; false at the end of the socket or on anything else.
bool receive(Request& request, int fds[2]) {
    iovec part{&request, sizeof request};
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))];
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t n;
    do
        n = ::recvmsg(0, &message, MSG_CMSG_CLOEXEC);
    while (n < 0 && errno == EINTR);
    const cmsghdr* c = CMSG_FIRSTHDR(&message);
    if (n != ssize_t(sizeof request) || (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) || !c ||
        c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS || c->cmsg_len != CMSG_LEN(2 * sizeof(int)))
        return false;
    std::memcpy(fds, CMSG_DATA(c), 2 * sizeof(int));
    return request.magic == kMagic;
}

void limit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit r{soft, hard};
    ::setrlimit(resource, &r);
}

[[noreturn]] void decodeInChild(const Request& request, int in, int out, pid_t helper, int64_t ownBytes) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != helper) ::_exit(1);
    // A decoder's complaints about a damaged picture, and the last words of one that broke a limit,
    // are not the user's business: the outcome is.
    ::close(0);
    if (::open("/dev/null", O_RDWR) == 0) {
        ::dup2(0, 1);
        ::dup2(0, 2);
    }
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Hard limits: not even code run by a broken decoder can raise them again.
    const rlim_t data = rlim_t(ownBytes + kDecoderBytes);
    limit(RLIMIT_DATA, data, data);
    const int64_t cpu = std::clamp<int64_t>(request.cpuMicros, 1000, int64_t(3600) * 1000000);
    const rlim_t seconds = rlim_t((cpu + 999999) / 1000000);
    limit(RLIMIT_CPU, seconds, seconds + 1);
    const rlim_t file = rlim_t(kPixelsOffset + std::max<int64_t>(request.maxBytes, 0));
    limit(RLIMIT_FSIZE, file, file);
    // The CPU limit above counts whole seconds; this one ends the decode to the millisecond.
    itimerval timer{};
    timer.it_value.tv_sec = cpu / 1000000;
    timer.it_value.tv_usec = cpu % 1000000;
    ::setitimer(ITIMER_PROF, &timer, nullptr);
    // Qt shares a large conversion among its pool's threads and waits for them, for ever when the
    // memory limit kept one from starting. Run on the pool's only thread, the decode converts alone.
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(1);
    int code = kExitNoPicture;
    pool->start([&] { code = pb::picture_decoder::decode(in, out, request); });
    pool->waitForDone();
    ::_exit(code);
}

// Waits for the child until it ends or its time is up; false when the program has gone.
bool awaitChild(pid_t child, int64_t wallMs) {
    const int pidfd = int(::syscall(SYS_pidfd_open, child, 0));
    int64_t left = wallMs;
    while (left > 0) {
        pollfd watch[2] = {{pidfd, POLLIN, 0}, {0, POLLRDHUP, 0}};
        const int step = pidfd >= 0 ? int(std::min<int64_t>(left, 60000)) : 2;
        const int n = ::poll(pidfd >= 0 ? watch : watch + 1, pidfd >= 0 ? 2 : 1, step);
        if (n < 0 && errno != EINTR) break;
        if (watch[1].revents & (POLLRDHUP | POLLHUP | POLLERR)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            return false;
        }
        siginfo_t ended{};
        if (pidfd >= 0 ? (watch[0].revents & POLLIN) != 0
                       : ::waitid(P_PID, id_t(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                             ended.si_pid == child)
            break;
        left -= step; // near enough: the wait is a safety net, the CPU limits end a busy child
    }
    if (left <= 0) ::kill(child, SIGKILL);
    if (pidfd >= 0) ::close(pidfd);
    return true;
}

Reply decode(const Request& request, int in, int out, int64_t ownBytes) {
    Reply reply;
    const pid_t helper = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) decodeInChild(request, in, out, helper, ownBytes);
    if (child < 0) return reply;
    // A child that sleeps instead of working is ended too.
    const int64_t wallMs = 2000 + 4 * std::max<int64_t>(request.cpuMicros, 0) / 1000;
    if (!awaitChild(child, wallMs)) ::_exit(0);
    int status = 0;
    rusage use{};
    while (::wait4(child, &status, 0, &use) < 0 && errno == EINTR) {
    }
    reply.cpuMicros = int64_t(use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1000000 + use.ru_utime.tv_usec +
                      use.ru_stime.tv_usec;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kExitDecoded)
        reply.outcome = Outcome::Decoded;
    else if (WIFEXITED(status) && WEXITSTATUS(status) == kExitNoPicture)
        reply.outcome = Outcome::NoPicture;
    return reply;
}

} // namespace

int main() {
    struct stat input {};
    if (::fstat(0, &input) != 0 || !S_ISSOCK(input.st_mode)) {
        std::fprintf(stderr, "%s decodes pictures for Dorvane, which starts it.\n", kHelperName);
        return 2;
    }
    ::close_range(3, ~0U, 0);
    // What the program blocked or ignored is not the helper's: its children are waited for, and the
    // signals of their limits end them.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int s : {SIGCHLD, SIGPROF, SIGXCPU, SIGXFSZ})
        std::signal(s, SIG_DFL);
    std::signal(SIGPIPE, SIG_IGN);
    // A child ended by a limit leaves no core file behind.
    limit(RLIMIT_CORE, 0, 0);
    QImageReader::setAllocationLimit(int(kDecoderBytes >> 20));
    warmDecoders();
    const int64_t ownBytes = dataBytes();
    for (;;) {
        Request request;
        int fds[2] = {-1, -1};
        if (!receive(request, fds)) return 0;
        request.format[sizeof request.format - 1] = 0;
        const Reply reply = decode(request, fds[0], fds[1], ownBytes);
        ::close(fds[0]);
        ::close(fds[1]);
        if (::send(0, &reply, sizeof reply, MSG_NOSIGNAL) != ssize_t(sizeof reply)) return 0;
    }
}
