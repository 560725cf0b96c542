#include "platform/record_file.h"

#include "platform/vb_error.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pb {

namespace {
std::atomic<quint64> nextSerial{1};
} // namespace

RecordFile::RecordFile(const QString& path, int recordLength)
    : m_path(path), m_length(recordLength), m_serial(nextSerial++) {
    if (path.isEmpty()) throw VbError(err::BadFileName);
    const QByteArray native = path.toLocal8Bit();
    m_fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        const int e = errno;
        // A read-only file still serves reads, as a random-access open would allow.
        if (e == EACCES || e == EROFS) m_fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) throw fileErrorFromErrno(path, e);
    }
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        throw VbError(err::PathFileAccess);
    }
}

RecordFile::~RecordFile() {
    if (m_fd >= 0) ::close(m_fd);
}

void RecordFile::readAt(qint64 offset, char* buffer, qint64 length) const {
    qint64 done = 0;
    while (done < length) {
        const ssize_t r = ::pread(m_fd, buffer + done, static_cast<size_t>(length - done), offset + done);
        if (r < 0) {
            if (errno == EINTR) continue;
            throw fileErrorFromErrno(m_path, errno);
        }
        if (r == 0) break; // end of file: the rest stays zero
        done += r;
    }
    if (done < length) std::memset(buffer + done, 0, static_cast<size_t>(length - done));
}

void RecordFile::writeAt(qint64 offset, const char* buffer, qint64 length) {
    ++m_writes; // counted before writing: a write that fails half-way has changed the file too
    qint64 done = 0;
    while (done < length) {
        const ssize_t w = ::pwrite(m_fd, buffer + done, static_cast<size_t>(length - done), offset + done);
        if (w < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            throw e == EBADF ? VbError(err::PermissionDenied) : fileErrorFromErrno(m_path, e);
        }
        done += w;
    }
}

QByteArray RecordFile::read(qint64 n) const {
    return readRange(n, 1);
}

QByteArray RecordFile::readRange(qint64 first, qint64 count) const {
    if (first < 1) throw VbError(63, QStringLiteral("Bad record number"));
    QByteArray out(count * m_length, Qt::Uninitialized);
    readAt((first - 1) * m_length, out.data(), out.size());
    return out;
}

void RecordFile::write(qint64 n, const QByteArray& record) {
    if (n < 1) throw VbError(63, QStringLiteral("Bad record number"));
    QByteArray padded = record.left(m_length);
    if (padded.size() < m_length) padded.append(QByteArray(m_length - padded.size(), '\0'));
    writeAt((n - 1) * m_length, padded.constData(), padded.size());
}

void RecordFile::writeRange(qint64 first, const QByteArray& records) {
    if (first < 1) throw VbError(63, QStringLiteral("Bad record number"));
    writeAt((first - 1) * m_length, records.constData(), records.size());
}

qint64 RecordFile::size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) throw fileErrorFromErrno(m_path, errno);
    return st.st_size;
}

QByteArray RecordFile::readAll() const {
    const qint64 n = size();
    QByteArray out(n, Qt::Uninitialized);
    readAt(0, out.data(), n);
    return out;
}

void RecordFile::flush() {
    if (::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EBADF) throw fileErrorFromErrno(m_path, errno);
}

} // namespace pb
