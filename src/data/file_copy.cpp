#include "data/file_copy.h"

#include "data/file_copy_detail.h"
#include "platform/vb_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>

namespace pb::files {

namespace detail {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

void fail(const QString& path, int e) {
    throw fileErrorFromErrno(path, e);
}

QString newToken() {
    return QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, QLatin1Char('0'));
}

bool isToken(QStringView text) {
    return text.size() == 16 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                      (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
           });
}

QString stagedName(const QString& target, const char* kind, const QString& token) {
    return target + QStringLiteral(".dorvane-") + QLatin1String(kind) + QLatin1Char('-') + token;
}

} // namespace detail

using namespace detail;

namespace {

mode_t creationMask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// Empties the folder open as `dir`, working only through descriptors: a link is
// removed, never followed, even one put in a subfolder's place meanwhile, and a folder
// of another file system (a mount) is not entered. Returns 0, or the first errno that
// stopped it.
int clearFolder(int dir, dev_t device) {
    const int listFd = ::dup(dir);
    if (listFd < 0) return errno;
    DIR* listing = ::fdopendir(listFd);
    if (!listing) {
        const int e = errno;
        ::close(listFd);
        return e;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* e = ::readdir(listing)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    const int listed = errno;
    ::closedir(listing);
    if (listed != 0) return listed;
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != device) return EXDEV;
            Fd sub(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.fd < 0) return errno;
            struct stat opened {};
            if (::fstat(sub.fd, &opened) != 0) return errno;
            if (opened.st_dev != device) return EXDEV; // mounted there meanwhile
            if (const int e = clearFolder(sub.fd, device)) return e;
        }
        if (::unlinkat(dir, name.c_str(), S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0) != 0) return errno;
    }
    return 0;
}

} // namespace

int detail::removeEntry(const QString& path) {
    const QByteArray p = native(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISDIR(st.st_mode)) return ::unlink(p.constData()) == 0 ? 0 : errno;
    Fd dir(::open(p.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.fd < 0) return errno;
    if (const int e = clearFolder(dir.fd, st.st_dev)) return e;
    return ::rmdir(p.constData()) == 0 ? 0 : errno;
}

void detail::requireReplaceable(const QString& path, bool folder) {
    const QByteArray p = native(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0) {
        if (errno == ENOENT) return;
        fail(path, errno);
    }
    // A link is replaced itself, never what it names; a dangling one stands for nothing.
    if (S_ISLNK(st.st_mode) && ::stat(p.constData(), &st) != 0) return;
    if (folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) return;
    throw VbError(err::PathFileAccess);
}

namespace {

// Moves the bytes of `in` to `out`, in the kernel where the file systems allow it.
void pump(int in, int out, off_t size, const QString& from, const QString& to) {
    off_t done = 0;
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n == 0 && done >= size) return;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP &&
            errno != EPERM)
            fail(errno == ENOSPC || errno == EDQUOT || errno == EFBIG ? to : from, errno);
        break; // the kernel copy is not offered here: plain reads and writes from where it stopped
    }
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        const ssize_t r = ::read(in, buffer.data(), buffer.size());
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(from, errno);
        }
        if (r == 0) return;
        for (ssize_t w = 0; w < r;) {
            const ssize_t k = ::write(out, buffer.data() + w, static_cast<std::size_t>(r - w));
            if (k < 0) {
                if (errno == EINTR) continue;
                fail(to, errno);
            }
            w += k;
        }
    }
}

// Writes every piece, in order, at the descriptor's position.
void writeAll(int fd, const std::vector<QByteArrayView>& pieces, const QString& to) {
    std::vector<iovec> iov;
    iov.reserve(pieces.size());
    for (const QByteArrayView& p : pieces)
        if (!p.isEmpty()) iov.push_back({const_cast<char*>(p.data()), static_cast<std::size_t>(p.size())});
    std::size_t i = 0;
    while (i < iov.size()) {
        const int n = static_cast<int>(std::min<std::size_t>(iov.size() - i, IOV_MAX));
        ssize_t k = ::writev(fd, iov.data() + i, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            fail(to, errno);
        }
        for (; i < iov.size() && static_cast<std::size_t>(k) >= iov[i].iov_len; ++i)
            k -= static_cast<ssize_t>(iov[i].iov_len);
        if (k > 0) {
            iov[i].iov_base = static_cast<char*>(iov[i].iov_base) + k;
            iov[i].iov_len -= static_cast<std::size_t>(k);
        }
    }
}

// Copies `length` bytes of `in` from `from` on to the position of `out`, in the
// kernel where the file system allows it. Both are the same file's old and new versions.
void copyRange(int in, off_t from, qint64 length, int out, const QString& file) {
    bool inKernel = true;
    std::vector<char> buffer;
    while (length > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<qint64>(length, qint64{1} << 30));
        if (inKernel) {
            const ssize_t n = ::copy_file_range(in, &from, out, nullptr, want, 0);
            if (n > 0) {
                length -= n;
                continue;
            }
            if (n == 0) fail(file, EIO); // the old file ended before the range
            if (errno == EINTR) continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != EPERM)
                fail(file, errno);
            inKernel = false; // plain reads and writes from where it stopped
        }
        buffer.resize(std::min<std::size_t>(want, std::size_t{1} << 20));
        const ssize_t r = ::pread(in, buffer.data(), buffer.size(), from);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) fail(file, r == 0 ? EIO : errno);
        writeAll(out, {QByteArrayView(buffer.data(), r)}, file);
        from += r;
        length -= r;
    }
}

// Opens a file to copy from: a regular file only (a pipe would wait for ever).
int openSource(const QString& from, struct stat* st) {
    const int fd = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) fail(from, errno);
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        fail(from, S_ISDIR(st->st_mode) ? EISDIR : EINVAL);
    }
    return fd;
}

// Puts the file's data on the disk; a file system that cannot sync has nothing to wait for.
void syncData(int fd, const QString& file) {
    if (::fdatasync(fd) != 0 && errno != EINVAL) fail(file, errno);
}

// A new file of exactly this name, which this write's token makes its own: nothing may stand there.
int createFresh(const QString& path, const QString& to) {
    const int fd =
        ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) fail(errno == ENOSPC || errno == EDQUOT ? to : path, errno);
    return fd;
}

// The file a new version replaces, when a regular file stands there (through a link too).
std::optional<struct stat> replacedFile(const QString& to) {
    struct stat st {};
    if (::stat(native(to).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return st;
}

// The new version takes the mode of the file it replaces, and its owner where we may (root
// writing another user's file); a new file gets `fresh`.
void takeModeOf(int fd, const std::optional<struct stat>& replaced, mode_t fresh, const QString& to) {
    if (replaced && ::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
        // Not ours to give away: the new file stays its writer's, which harms nothing.
    }
    if (::fchmod(fd, replaced ? replaced->st_mode & 07777 : fresh) != 0) fail(to, errno);
}

// Copies into `out`, syncs it when asked and closes it; the caller owns the name. Without a
// file it replaces, the copy keeps the mode of its source.
void fillAndClose(Fd& out, int in, const struct stat& st, const QString& from, const QString& to,
                  bool sync = true, const std::optional<struct stat>& replaced = std::nullopt) {
    pump(in, out.fd, st.st_size, from, to);
    takeModeOf(out.fd, replaced, st.st_mode & 0777 & ~creationMask(), to);
    if (sync) syncData(out.fd, to);
    if (out.close() != 0) fail(to, errno);
}

// Copies and writes into a folder that nobody sees yet: no names of their own needed, and
// the whole tree is synced at its end.
void copyFileDirect(const QString& from, const QString& to) {
    struct stat st {};
    Fd in(openSource(from, &st));
    Fd out(::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.fd < 0) fail(to, errno);
    fillAndClose(out, in.fd, st, from, to, false);
}

void writeFileDirect(const QString& path, const QByteArrayView& bytes) {
    Fd out(::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.fd < 0) fail(path, errno);
    writeAll(out.fd, {bytes}, path);
    if (::fchmod(out.fd, 0666 & ~creationMask()) != 0) fail(path, errno);
    if (out.close() != 0) fail(path, errno);
}

} // namespace

// Their writing-out is started for all of them first, so the disk is kept busy instead of
// waiting for each file in turn.
void detail::syncFiles(const std::vector<QString>& paths) {
    for (const bool wait : {false, true}) {
        for (const QString& path : paths) {
            Fd fd(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (fd.fd < 0) fail(path, errno);
            if (wait)
                syncData(fd.fd, path);
            else
                ::sync_file_range(fd.fd, 0, 0, SYNC_FILE_RANGE_WRITE); // a hint: its failure changes nothing
        }
    }
}

namespace {

// Puts the folder's names on the disk; a failure is told as one of `reportAs`.
void syncFolder(const QString& folder, const QString& reportAs) {
    Fd fd(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.fd < 0) fail(folder, errno);
    if (::fsync(fd.fd) != 0 && errno != EINVAL) fail(reportAs, errno);
}

void syncFolders(const std::vector<QString>& folders) {
    for (const QString& folder : folders)
        syncFolder(folder, folder);
}

void copyLink(const QString& from, const QString& to) {
    QByteArray target(4096, '\0');
    const ssize_t n =
        ::readlink(native(from).constData(), target.data(), static_cast<std::size_t>(target.size()));
    if (n < 0) fail(from, errno);
    target.truncate(n);
    if (::symlink(target.constData(), native(to).constData()) != 0) fail(to, errno);
}

struct Entry {
    QString relative;
    enum Kind { Folder, File, Link } kind;
};

// Everything below `root`, listed before anything is written, so a copy made
// inside the tree never copies itself.
void listTree(const QString& root, const QString& relative, std::vector<Entry>& out) {
    const QString here = relative.isEmpty() ? root : root + QLatin1Char('/') + relative;
    DIR* dir = ::opendir(native(here).constData());
    if (!dir) fail(here, errno);
    std::vector<std::pair<QString, unsigned char>> names;
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(QFile::decodeName(e->d_name), e->d_type);
    }
    const int e = errno;
    ::closedir(dir);
    if (e != 0) fail(here, e);
    for (const auto& [name, type] : names) {
        const QString rel = relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
        mode_t mode = 0;
        if (type == DT_DIR)
            mode = S_IFDIR;
        else if (type == DT_REG)
            mode = S_IFREG;
        else if (type == DT_LNK)
            mode = S_IFLNK;
        else {
            struct stat st {};
            if (::lstat(native(root + QLatin1Char('/') + rel).constData(), &st) != 0) continue;
            mode = st.st_mode & S_IFMT;
        }
        if (S_ISDIR(mode)) {
            out.push_back({rel, Entry::Folder});
            listTree(root, rel, out);
        } else if (S_ISREG(mode)) {
            out.push_back({rel, Entry::File});
        } else if (S_ISLNK(mode)) {
            out.push_back({rel, Entry::Link});
        }
        // Pipes, sockets and devices are no attachments: left out.
    }
}

std::vector<Entry> snapshot(const QString& root) {
    if (!folderExists(root)) fail(root, ENOENT);
    std::vector<Entry> entries;
    listTree(root, QString(), entries);
    return entries;
}

} // namespace

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    return ::stat(native(a).constData(), &sa) == 0 && ::stat(native(b).constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool sameContents(const QString& a, const QString& b) {
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    if (fa.size() != fb.size()) return false;
    constexpr qint64 kChunk = 1 << 16;
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(kChunk);
        if (x != fb.read(kChunk)) return false;
        if (x.isEmpty()) break;
    }
    return true;
}

bool fileExists(const QString& path) {
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderExists(const QString& path) {
    struct stat st {};
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool detail::exists(const QString& path) {
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0;
}

bool detail::isFolder(const QString& path) {
    struct stat st {};
    return ::lstat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

void detail::syncFolderOf(const QString& path) {
    syncFolder(folderOf(path), path);
}

void detail::syncFoldersOf(const std::vector<QString>& paths) {
    std::set<QString> folders;
    for (const QString& p : paths)
        if (folders.insert(folderOf(p)).second) syncFolderOf(p);
}

void detail::renameOrFail(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0) fail(to, errno);
}

void detail::makeCopy(const QString& from, const QString& staged, const QString& to, bool sync) {
    struct stat st {};
    Fd in(openSource(from, &st));
    Fd out(createFresh(staged, to));
    try {
        fillAndClose(out, in.fd, st, from, to, sync, replacedFile(to));
    } catch (...) {
        ::unlink(native(staged).constData()); // made just now by this write
        throw;
    }
}

void detail::makeBytes(const QString& staged, const QByteArrayView& bytes, const QString& to, bool sync) {
    Fd out(createFresh(staged, to));
    try {
        writeAll(out.fd, {bytes}, to);
        takeModeOf(out.fd, replacedFile(to), 0666 & ~creationMask(), to);
        if (sync) syncData(out.fd, to);
        if (out.close() != 0) fail(to, errno);
    } catch (...) {
        ::unlink(native(staged).constData()); // made just now by this write
        throw;
    }
}

void replaceFile(const QString& to, const std::vector<Piece>& pieces,
                 const std::function<void()>& beforeCommit) {
    const QString token = newToken();
    const QString tmp = stagedName(to, "swap", token);
    const QByteArray target = native(to);
    const QByteArray temporary = native(tmp);
    // Opening the old file to write is what a write into it would need: a file the
    // user may not change stays as it is.
    Fd old(::open(target.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    struct stat oldStat {};
    if (old.fd < 0 && errno != ENOENT) fail(to, errno);
    if (old.fd >= 0 && ::fstat(old.fd, &oldStat) != 0) fail(to, errno);
    if (old.fd >= 0 && !S_ISREG(oldStat.st_mode)) fail(to, EISDIR);
    LedgerNote ledger(token, {tmp});
    Fd out(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.fd < 0) fail(errno == ENOSPC || errno == EDQUOT ? to : tmp, errno);
    try {
        std::vector<QByteArrayView> run;
        for (const Piece& p : pieces) {
            if (p.from < 0) {
                run.push_back(p.bytes);
                continue;
            }
            writeAll(out.fd, run, to);
            run.clear();
            if (old.fd < 0) fail(to, ENOENT);
            copyRange(old.fd, p.from, p.length, out.fd, to);
        }
        writeAll(out.fd, run, to);
        takeModeOf(out.fd, old.fd >= 0 ? std::optional<struct stat>(oldStat) : std::nullopt,
                   0666 & ~creationMask(), to);
        // On the disk before it takes the name: after a power cut the name never stands for an empty file.
        syncData(out.fd, to);
        if (out.close() != 0) fail(to, errno);
        if (beforeCommit) beforeCommit();
        if (::rename(temporary.constData(), target.constData()) != 0) fail(to, errno);
    } catch (...) {
        ::unlink(temporary.constData()); // made just now by this write
        ledger.drop();
        throw;
    }
    syncFolderOf(to);
    ledger.drop();
}

void detail::makeFolder(const QString& staged, const QString& from, const std::vector<NamedBytes>& files,
                        const QString& old) {
    const std::vector<Entry> entries = from.isEmpty() ? std::vector<Entry>() : snapshot(from);
    const std::vector<Entry> kept =
        !old.isEmpty() && folderExists(old) ? snapshot(old) : std::vector<Entry>();
    // The folder it replaces gives its mode (a private folder stays private).
    struct stat replaced {};
    const bool replacing =
        !old.isEmpty() && ::stat(native(old).constData(), &replaced) == 0 && S_ISDIR(replaced.st_mode);
    // This write's token makes the name its own: nothing may stand there.
    if (::mkdir(native(staged).constData(), 0700) != 0) fail(staged, errno);
    std::vector<QString> folders = {staged};
    std::vector<QString> written;
    try {
        // A name that differs from one of `files` only in case would stand for it where names are
        // looked up without regard to case: it gives way too.
        const auto givesWay = [&](const QString& relative) {
            return std::any_of(files.begin(), files.end(), [&](const NamedBytes& f) {
                return f.name.compare(relative, Qt::CaseInsensitive) == 0;
            });
        };
        const auto add = [&](const QString& source, const Entry& e, bool link) {
            const QString target = staged + QLatin1Char('/') + e.relative;
            if (exists(target) || givesWay(e.relative)) return; // an earlier part of the new tree has its own
            switch (e.kind) {
            case Entry::Folder:
                if (::mkdir(native(target).constData(), 0777) != 0) fail(target, errno);
                folders.push_back(target);
                break;
            case Entry::File:
                // A second name for a file the old tree holds: nothing is copied, and the old tree stays
                // whole.
                if (link && ::link(native(source).constData(), native(target).constData()) == 0) break;
                copyFileDirect(source, target);
                written.push_back(target);
                break;
            case Entry::Link:
                copyLink(source, target);
                break;
            }
        };
        for (const NamedBytes& f : files) {
            const QString target = staged + QLatin1Char('/') + f.name;
            writeFileDirect(target, f.bytes);
            written.push_back(target);
        }
        for (const Entry& e : entries)
            add(from + QLatin1Char('/') + e.relative, e, false);
        for (const Entry& e : kept)
            add(old + QLatin1Char('/') + e.relative, e, true);
        const mode_t mode = replacing ? replaced.st_mode & 07777 : 0777 & ~creationMask();
        if (::chmod(native(staged).constData(), mode) != 0) fail(staged, errno);
        // The files, then the names in every folder, the deepest first.
        syncFiles(written);
        syncFolders({folders.rbegin(), folders.rend()});
    } catch (...) {
        (void)removeEntry(staged); // made just now by this write
        throw;
    }
}

QStringList detail::filesIn(const QString& folder) {
    // Regular files and links to them; pipes, sockets and devices are "system" entries, left out.
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void createFolder(const QString& path) {
    if (::mkdir(native(path).constData(), 0777) == 0) return;
    const int e = errno;
    if (e == EEXIST && folderExists(path)) return;
    fail(path, e == EEXIST ? EEXIST : e);
}

void removeFile(const QString& path) {
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT) return;
    fail(path, errno);
}

} // namespace pb::files
