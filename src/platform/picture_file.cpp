#include "platform/picture_file.h"

#include "platform/native_name.h"
#include "platform/vb_error.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pb {

namespace {

using namespace picture_wire;

// A screen larger than any made today, for a program without one.
constexpr QSize kLargestScreen(7680, 4320);
// Beyond the helper's own wait for a decode: the round trip, and the helper's start before its first answer.
constexpr int kAnswerMarginMs = 2000;
constexpr int kStartMarginMs = 10000;

// The helper beside the program, where both are installed and built; the tests' programs stand
// elsewhere and take the one the build made.
QByteArray helperPath() {
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) {
        const QByteArray program(exe, n);
        const QByteArray beside = program.left(program.lastIndexOf('/') + 1) + kHelperName;
        if (::access(beside.constData(), X_OK) == 0) return beside;
    }
    return DORVANE_PICTURE_HELPER;
}

// The one helper of this process, started when first needed and again after it died.
class Helper {
public:
    static Helper& instance() {
        static Helper helper;
        return helper;
    }

    void start() {
        const std::lock_guard lock(m_lock);
        running();
    }

    void stop() {
        const std::lock_guard lock(m_lock);
        end(false);
    }

    // The helper's answer, or none when it cannot be asked or does not answer in time; then it is ended.
    std::optional<Reply> ask(const Request& request, int in, int out) {
        const std::lock_guard lock(m_lock);
        // A helper that went away without answering is started again, once: a decode may run twice.
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!running()) return std::nullopt;
            if (!send(request, in, out)) {
                end(true);
                continue;
            }
            const int64_t wallMs =
                2000 + 4 * request.cpuMicros / 1000 + (m_answered ? kAnswerMarginMs : kStartMarginMs);
            pollfd answer{m_socket, POLLIN, 0};
            int n;
            do
                n = ::poll(&answer, 1, int(wallMs));
            while (n < 0 && errno == EINTR);
            Reply reply;
            if (n == 1 && ::recv(m_socket, &reply, sizeof reply, MSG_DONTWAIT) == ssize_t(sizeof reply) &&
                reply.magic == kMagic) {
                m_answered = true;
                return reply;
            }
            end(true);
            if (n != 1) break; // stuck: not asked again
        }
        return std::nullopt;
    }

private:
    bool running() {
        // A child of this process that forked it has a helper of its own: the parent's answers
        // would go astray.
        if (m_socket >= 0 && m_owner != ::getpid()) {
            ::close(m_socket);
            m_socket = -1;
            m_pid = -1;
        }
        if (m_socket >= 0) return true;
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return false;
        const QByteArray path = helperPath();
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, pair[1], 0);
        char* argv[] = {const_cast<char*>(kHelperName), nullptr};
        pid_t pid = -1;
        const int failed = ::posix_spawn(&pid, path.constData(), &files, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&files);
        ::close(pair[1]);
        if (failed != 0) {
            ::close(pair[0]);
            if (!m_warned)
                qWarning("The picture helper %s cannot be started: no picture is shown.", path.constData());
            m_warned = true;
            return false;
        }
        m_socket = pair[0];
        m_pid = pid;
        m_answered = false;
        m_owner = ::getpid();
        return true;
    }

    bool send(const Request& request, int in, int out) {
        iovec part{const_cast<Request*>(&request), sizeof request};
        alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(2 * sizeof(int));
        const int fds[2] = {in, out};
        std::memcpy(CMSG_DATA(c), fds, sizeof fds);
        ssize_t n;
        do
            n = ::sendmsg(m_socket, &message, MSG_NOSIGNAL);
        while (n < 0 && errno == EINTR);
        return n == ssize_t(sizeof request);
    }

    // Ends the helper; `kill` when it may be stuck, else it ends at the end of its socket.
    void end(bool kill) {
        if (m_socket < 0) return;
        ::close(m_socket);
        m_socket = -1;
        if (m_pid > 0 && m_owner == ::getpid()) {
            if (kill) ::kill(m_pid, SIGKILL);
            while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        m_pid = -1;
    }

    std::mutex m_lock;
    int m_socket = -1;
    pid_t m_pid = -1;
    pid_t m_owner = 0;
    bool m_warned = false;
    bool m_answered = false;
};

struct Mapping {
    void* address;
    size_t length;
};

void unmap(void* info) {
    auto* m = static_cast<Mapping*>(info);
    ::munmap(m->address, m->length);
    delete m;
}

// The pixels the helper left in `out`, mapped as they lie, or a null image when the header is
// not one the decode could have written.
QImage mapPixels(int out, qint64 maxBytes) {
    PixelsHeader header;
    if (::pread(out, &header, sizeof header, 0) != ssize_t(sizeof header) || header.magic != kMagic)
        return {};
    const QImage::Format format = QImage::Format(header.format);
    if (header.width <= 0 || header.height <= 0 || header.bytesPerLine != qint64(header.width) * 4 ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied))
        return {};
    const qint64 bytes = header.bytesPerLine * header.height;
    struct stat st {};
    // Sealed first: nothing can shrink the file under the mapping afterwards.
    if (bytes > maxBytes || ::fcntl(out, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0 ||
        ::fstat(out, &st) != 0 || st.st_size < kPixelsOffset + bytes)
        return {};
    void* address = ::mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_SHARED, out, kPixelsOffset);
    if (address == MAP_FAILED) return {};
    return QImage(static_cast<uchar*>(address), header.width, header.height, header.bytesPerLine, format,
                  unmap, new Mapping{address, size_t(bytes)});
}

QImage decodeFrom(int in, const PictureOptions& options, PictureBudget& budget) {
    if (budget.bytes <= 0 || budget.cpuMicros <= 0) return {};
    Request request;
    std::memcpy(request.format, options.format.constData(),
                size_t(std::min<qsizetype>(options.format.size(), sizeof request.format - 1)));
    request.upright = options.upright;
    request.fit = options.view.fit;
    request.boxWidth = options.view.box.width();
    request.boxHeight = options.view.box.height();
    request.maxBytes = std::min(budget.bytes, kPictureBytes);
    request.cpuMicros = std::min(budget.cpuMicros, kPictureCpuMicros);
    const int out = ::memfd_create("dorvane-pixels", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (out < 0) return {};
    const std::optional<Reply> reply = Helper::instance().ask(request, in, out);
    // A helper that did not answer is taken to have used all it was allowed.
    budget.cpuMicros -= reply ? reply->cpuMicros : request.cpuMicros;
    QImage image;
    if (reply && reply->outcome == Outcome::Decoded) image = mapPixels(out, request.maxBytes);
    ::close(out);
    budget.bytes -= image.sizeInBytes();
    return image;
}

bool writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
    }
    return ::lseek(fd, 0, SEEK_SET) == 0;
}

} // namespace

PictureView PictureView::onScreen() {
    QSize screen = kLargestScreen;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* s = QGuiApplication::primaryScreen()) screen = s->virtualSize();
    return {picture_wire::Fit::TopLeft, screen};
}

QImage decodePicture(const QByteArray& bytes, const PictureOptions& options, PictureBudget& budget) {
    const int in = ::memfd_create("dorvane-picture", MFD_CLOEXEC);
    if (in < 0) return {};
    QImage image;
    if (writeAll(in, bytes)) image = decodeFrom(in, options, budget);
    ::close(in);
    return image;
}

QImage decodePicture(const QByteArray& bytes, const PictureOptions& options) {
    PictureBudget budget;
    return decodePicture(bytes, options, budget);
}

QImage readPicture(const QString& path, const PictureView& view) {
    const native::FileStat st = native::stat(path);
    if (!st.isFile) throw VbError(err::FileNotFound);
    QFile file;
    if (!native::openForReading(file, path)) throw VbError(err::InvalidPicture);
    PictureBudget budget;
    // Photos stand the way the camera held them.
    QImage image = decodeFrom(file.handle(), {{}, true, view}, budget);
    if (image.isNull()) throw VbError(err::InvalidPicture);
    return image;
}

QVariant shownPicture(QImage&& image) {
    const QCoreApplication* app = QCoreApplication::instance();
    if (!qobject_cast<const QGuiApplication*>(app) || QThread::currentThread() != app->thread())
        return QVariant(std::move(image));
    return QVariant(QPixmap::fromImage(std::move(image)));
}

void startPictureHelper() {
    Helper::instance().start();
}

void stopPictureHelper() {
    Helper::instance().stop();
}

} // namespace pb
