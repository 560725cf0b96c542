#include "data/file_notes.h"

#include "data/file_copy.h"
#include "data/file_copy_detail.h"
#include "data/file_sets.h"
#include "platform/vb_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>

namespace pb::files::detail {

namespace {

// A note of ours is a few lines a member; anything larger is no note of ours, and is never read whole.
constexpr qint64 kNoteBound = 1 << 20;
// Path names longer than the system takes are no names of ours.
constexpr qsizetype kNameBound = 4096;
// Seconds a time may differ by and still be the one a note saw: some file systems keep two.
constexpr qint64 kTimeSlack = 2;

const QLatin1String kSetNote(".dorvane-set-");
const QLatin1String kLedgerNote(".dorvane-note");
const char* const kStagedKinds[] = {"new", "old", "swap", "part", "set"};

bool hasControlByte(const QByteArray& bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

// Bytes that name a path below a folder: no control byte, no empty, "." or ".." part.
bool plainParts(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > kNameBound || hasControlByte(bytes)) return false;
    const QList<QByteArray> parts = bytes.split('/');
    return std::all_of(parts.cbegin(), parts.cend(),
                       [](const QByteArray& part) { return !part.isEmpty() && part != "." && part != ".."; });
}

// The name the bytes stand for, when they come back from it unchanged.
std::optional<QString> nameOf(const QByteArray& bytes) {
    const QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) != bytes) return std::nullopt;
    return name;
}

// Reads a note of ours through `fd`: a regular file of a bounded size, locked here first
// (false in `busy` when a running write holds it).
std::optional<QByteArray> readNote(int fd, bool* busy) {
    *busy = false;
    struct stat st {};
    // A note another user put here is no note of ours, whatever it says.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kNoteBound || st.st_uid != ::geteuid())
        return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        return std::nullopt;
    }
    QByteArray text(static_cast<qsizetype>(st.st_size) + 1, '\0');
    qsizetype got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, static_cast<std::size_t>(text.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        got += n;
    }
    if (got > kNoteBound) return std::nullopt; // it grew meanwhile
    text.truncate(got);
    return text;
}

QByteArray seenText(const Seen& s) {
    if (s.kind == '-') return "-";
    return QByteArray(1, s.kind) + ':' + QByteArray::number(s.size) + ':' + QByteArray::number(s.mtime);
}

std::optional<Seen> seenFrom(const QByteArray& text) {
    if (text == "-") return Seen{};
    const QList<QByteArray> parts = text.split(':');
    if (parts.size() != 3 || parts[0].size() != 1 || !QByteArray("fdlo").contains(parts[0][0]))
        return std::nullopt;
    bool sizeOk = false, timeOk = false;
    const Seen s{parts[0][0], parts[1].toLongLong(&sizeOk), parts[2].toLongLong(&timeOk)};
    if (!sizeOk || !timeOk) return std::nullopt;
    return s;
}

bool same(const Seen& now, const Seen& then) {
    if (now.kind != then.kind || now.kind == 'o') return false;
    if (now.kind == '-') return true;
    return now.size == then.size && std::abs(now.mtime - then.mtime) <= kTimeSlack;
}

QByteArray noteText(const QString& token, const std::vector<NoteStep>& steps) {
    QByteArray text = "dorvane-set " + token.toLatin1() + '\n';
    for (const NoteStep& s : steps) {
        text += QByteArray(s.replace ? "R " : "D ") + native(s.relative).toPercentEncoding("/") + ' ' +
                seenText(s.old);
        if (s.replace) text += ' ' + seenText(s.fresh);
        text += '\n';
    }
    return text + "end\n";
}

std::optional<std::vector<NoteStep>> parseNote(const QByteArray& text, const QString& token) {
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || !lines.last().isEmpty()) return std::nullopt;
    lines.removeLast();
    if (lines.front() != "dorvane-set " + token.toLatin1() || lines.back() != "end") return std::nullopt;
    std::vector<NoteStep> steps;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        const bool replace = f[0] == "R";
        if (f.size() != (replace ? 4 : 3) || (!replace && f[0] != "D")) return std::nullopt;
        const QByteArray relative = QByteArray::fromPercentEncoding(f[1]);
        if (!plainParts(relative) || relative.startsWith('/')) return std::nullopt;
        const std::optional<QString> name = nameOf(relative);
        const std::optional<Seen> old = seenFrom(f[2]);
        const std::optional<Seen> fresh = replace ? seenFrom(f[3]) : Seen{};
        if (!name || !old || !fresh) return std::nullopt;
        steps.push_back({replace, *name, *old, *fresh});
    }
    if (steps.empty()) return std::nullopt;
    return steps;
}

// Adds the entries below the folder open as `dir` (taken over and closed here) to `s`: their
// count, and the latest time of any. Links are not followed, nor other file systems entered.
bool addTree(int dir, dev_t device, Seen& s) {
    DIR* listing = ::fdopendir(dir);
    if (!listing) {
        ::close(dir);
        return false;
    }
    bool whole = true;
    while (const dirent* e = ::readdir(listing)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        struct stat st {};
        if (::fstatat(::dirfd(listing), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            whole = false;
            break;
        }
        ++s.size;
        // A file system mounted there is not this folder's: its time is its own.
        if (st.st_dev == device) s.mtime = std::max<qint64>(s.mtime, st.st_mtim.tv_sec);
        if (S_ISDIR(st.st_mode) && st.st_dev == device) {
            const int sub =
                ::openat(::dirfd(listing), e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0 || !addTree(sub, device, s)) {
                whole = false;
                break;
            }
        }
    }
    ::closedir(listing);
    return whole;
}

} // namespace

Seen seen(const QString& path) {
    const QByteArray p = native(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0) return errno == ENOENT ? Seen{} : Seen{'o', 0, 0};
    Seen s{'o', 0, st.st_mtim.tv_sec};
    if (S_ISREG(st.st_mode)) {
        s.kind = 'f';
        s.size = st.st_size;
    } else if (S_ISLNK(st.st_mode)) {
        s.kind = 'l';
        s.size = st.st_size;
    } else if (S_ISDIR(st.st_mode)) {
        // A folder's size says nothing of what it holds: the entries of its whole tree are counted,
        // and its time is the latest of any of them, so that a file changed deep inside shows.
        const int fd = ::open(p.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 || !addTree(fd, st.st_dev, s)) return {'o', 0, 0};
        s.kind = 'd';
    }
    return s;
}

bool notable(const QString& path) {
    return !hasControlByte(native(path));
}

SetNote::SetNote(const QString& first, const QString& token, const std::vector<NoteStep>& steps)
    : m_path(stagedName(first, "set", token)) {
    const QByteArray text = noteText(token, steps);
    if (text.size() > kNoteBound) throw VbError(err::PathFileAccess);
    // Whole under a name of its own first: a note is never found half written.
    const QString part = stagedName(first, "part", token);
    makeBytes(part, text, part); // a file of its own mode, not the member's
    Fd fd(::open(native(part).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    // Locked where the file system can: elsewhere the note is only unguarded from other programs.
    if (fd.fd >= 0) (void)::flock(fd.fd, LOCK_EX);
    if (fd.fd < 0 || ::rename(native(part).constData(), native(m_path).constData()) != 0) {
        const int e = errno;
        ::unlink(native(part).constData()); // made just now by this write
        fail(first, e);
    }
    m_fd = fd.fd;
    fd.fd = -1;
    try {
        syncFolderOf(m_path);
    } catch (...) {
        // Not surely on the disk, the commit goes no further: the note goes with it.
        ::unlink(native(m_path).constData());
        ::close(m_fd);
        m_fd = -1;
        throw;
    }
}

SetNote::~SetNote() {
    if (m_fd >= 0) ::close(m_fd);
}

void SetNote::remove() {
    if (::unlink(native(m_path).constData()) != 0 && errno != ENOENT) fail(m_path, errno);
    syncFolderOf(m_path);
}

std::vector<QString> notesBeside(const QString& first) {
    const QFileInfo info(first);
    const QString prefix = info.fileName() + kSetNote;
    std::vector<QString> notes;
    const QDir folder(info.absolutePath());
    for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::Hidden))
        if (name.startsWith(prefix) && isToken(QStringView(name).mid(prefix.size())))
            notes.push_back(folder.filePath(name));
    return notes;
}

NoteOutcome carryOutNote(const QString& note, const std::vector<QString>* members) {
    const QFileInfo info(note);
    const QString name = info.fileName();
    const qsizetype at = name.lastIndexOf(kSetNote);
    const QString token = at > 0 ? name.mid(at + kSetNote.size()) : QString();
    if (!isToken(token)) return NoteOutcome::Refused;
    Fd fd(::open(native(note).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.fd < 0) return errno == ENOENT ? NoteOutcome::Finished : NoteOutcome::Refused;
    bool busy = false;
    const std::optional<QByteArray> text = readNote(fd.fd, &busy);
    if (busy) return NoteOutcome::Busy;
    const std::optional<std::vector<NoteStep>> steps = text ? parseNote(*text, token) : std::nullopt;
    if (!steps) return NoteOutcome::Refused;

    struct Place {
        QString target, fresh, old;
    };
    std::vector<Place> places;
    const QString folder = info.absolutePath();
    for (const NoteStep& s : *steps) {
        const QString target = QDir::cleanPath(folder + QLatin1Char('/') + s.relative);
        // A note that names anything but the members of the set it is found beside moves nothing.
        if (members && std::none_of(members->begin(), members->end(), [&](const QString& m) {
                return QDir::cleanPath(QFileInfo(m).absoluteFilePath()) == target;
            }))
            return NoteOutcome::Refused;
        places.push_back({target, stagedName(target, "new", token), stagedName(target, "old", token)});
    }
    // Carried out only while every member stands as the commit could have left it: a member
    // changed since (the book used meanwhile) leaves everything as it is.
    for (std::size_t i = 0; i < places.size(); ++i) {
        const NoteStep& s = (*steps)[i];
        const Seen now = seen(places[i].target), fresh = seen(places[i].fresh), old = seen(places[i].old);
        // Once the member is new (or gone), its replaced version is only ours to finish removing.
        bool as;
        if (s.replace)
            as = (same(now, s.old) && same(fresh, s.fresh) && old.kind == '-') ||
                 (s.old.kind != '-' && now.kind == '-' && same(old, s.old) && same(fresh, s.fresh)) ||
                 (same(now, s.fresh) && fresh.kind == '-');
        else
            as = (same(now, s.old) && old.kind == '-') || now.kind == '-';
        if (!as) return NoteOutcome::Refused;
    }
    // The whole note was written after every new version was whole: the new set takes its place.
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        const bool staged = (*steps)[i].replace && exists(p.fresh);
        if ((staged || !(*steps)[i].replace) && exists(p.target)) renameOrFail(p.target, p.old);
        if (staged) renameOrFail(p.fresh, p.target);
    }
    std::vector<QString> targets;
    for (const Place& p : places)
        targets.push_back(p.target);
    syncFoldersOf(targets);
    // What cannot go now is tried again with the note: the set stands whole, and nothing waits on it.
    bool left = false;
    for (const Place& p : places)
        if (removeEntry(p.old) != 0) left = true;
    if (left) return NoteOutcome::Left;
    if (::unlink(native(note).constData()) != 0 && errno != ENOENT) fail(note, errno);
    syncFolderOf(note);
    return NoteOutcome::Finished;
}

// ---- The ledger: one note per running write, in the program folder.

namespace {

QString& ledgerFolder() {
    static QString folder;
    return folder;
}

// The ledger's folder as a folder of its own, never through a link.
bool ledgerFolderThere(const QString& folder) {
    struct stat st {};
    return ::lstat(native(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A stable file every writer locks shared while it makes its note, and the sweep exclusively:
// no note is ever seen between its making and its lock.
int lockLedger(const QString& folder, int how) {
    const int fd = ::open(native(folder + QStringLiteral("/lock")).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 && ::flock(fd, how) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray ledgerHead(const QString& token) {
    return "dorvane-writes " + token.toLatin1() + '\n';
}

const QLatin1String kLockEnd(".dorvane-lock");

// A name a ledger line may hold: a full path ending in one of this write's own names, or a
// book's lock (".<name>.dorvane-lock").
std::optional<QString> ledgerName(const QByteArray& line, const QString& token) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(line);
    if (!bytes.startsWith('/') || !plainParts(bytes.mid(1))) return std::nullopt;
    const std::optional<QString> name = nameOf(bytes);
    if (!name) return std::nullopt;
    for (const char* kind : kStagedKinds)
        if (name->endsWith(QStringLiteral(".dorvane-") + QLatin1String(kind) + QLatin1Char('-') + token))
            return name;
    const QString file = QFileInfo(*name).fileName();
    if (file.startsWith(QLatin1Char('.')) && file.size() > kLockEnd.size() + 1 && file.endsWith(kLockEnd))
        return name;
    return std::nullopt;
}

// A lock a killed copy held goes only where its own record shows its holder gone: Qt takes
// such a lock over, and this copy then lets it go.
void letGoOfLock(const QString& path) {
    QLockFile lock(path);
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return;
    }
    // Empty, the lock was cut short as it was made: a copy making it writes its record at
    // once, so one still empty a moment later is the killed copy's.
    if (lock.error() != QLockFile::LockFailedError || QFileInfo(path).size() != 0) return;
    QThread::msleep(100);
    if (QFileInfo(path).size() == 0 && lock.removeStaleLockFile() && lock.tryLock(0)) lock.unlock();
}

// Finishes or clears away the write a ledger note names; false keeps the note for a later start.
bool finishNoted(const QString& path, const QString& token) {
    Fd fd(::open(native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.fd < 0) return false;
    bool busy = false;
    const std::optional<QByteArray> text = readNote(fd.fd, &busy);
    // Empty, the note was killed before it named anything: its write had made nothing yet.
    if (text && text->isEmpty()) return true;
    if (!text || !text->startsWith(ledgerHead(token))) return false;
    std::vector<QString> names;
    bool refused = false;
    for (const QByteArray& line : text->mid(ledgerHead(token).size()).split('\n')) {
        if (line.isEmpty()) continue;
        if (const std::optional<QString> name = ledgerName(line, token))
            names.push_back(*name);
        else
            refused = true;
    }
    try {
        // A set's note first: carried out, its names are gone; refused, they stay as they are,
        // for they may hold the only copy of a member.
        for (const QString& name : names)
            if (name.endsWith(kSetNote + token) && carryOutNote(name, nullptr) != NoteOutcome::Finished)
                return false;
        for (const QString& name : names) {
            if (name.endsWith(kLockEnd))
                letGoOfLock(name);
            else if (const int e = removeEntry(name))
                fail(name, e);
        }
    } catch (const VbError&) {
        return false;
    }
    // A line refused is kept with its note: nothing it may stand for is forgotten.
    return !refused;
}

} // namespace

LedgerNote::LedgerNote(const QString& token, const std::vector<QString>& names) {
    const QString folder = ledgerFolder();
    if (folder.isEmpty()) return;
    if (::mkdir(native(folder).constData(), 0700) != 0 && errno != EEXIST) return;
    if (!ledgerFolderThere(folder)) return;
    Fd lock(lockLedger(folder, LOCK_SH));
    if (lock.fd < 0) return;
    m_path = folder + QLatin1Char('/') + token + kLedgerNote;
    m_fd = ::open(native(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_fd < 0) return;
    // Held until the write ends, and released by the system when a kill ends it. Unlocked it
    // would look like a killed write's: no note rather than that.
    if (::flock(m_fd, LOCK_EX) != 0) {
        drop();
        return;
    }
    QByteArray text = ledgerHead(token);
    for (const QString& name : names)
        text += native(name).toPercentEncoding("/") + '\n';
    if (::write(m_fd, text.constData(), static_cast<std::size_t>(text.size())) != text.size()) drop();
}

LedgerNote::~LedgerNote() {
    if (m_fd >= 0) ::close(m_fd); // kept: the next start finishes what is left
}

void LedgerNote::drop() {
    if (m_fd < 0) return;
    ::unlink(native(m_path).constData()); // this write's own note
    ::close(m_fd);
    m_fd = -1;
}

} // namespace pb::files::detail

namespace pb::files {

using namespace detail;

void setLedgerFolder(const QString& programFolder) {
    ledgerFolder() =
        programFolder.isEmpty() ? QString() : QDir(programFolder).filePath(QStringLiteral(".dorvane-writes"));
}

void finishUnfinishedWrites() {
    const QString folder = ledgerFolder();
    if (folder.isEmpty() || !ledgerFolderThere(folder)) return;
    Fd lock(lockLedger(folder, LOCK_EX));
    if (lock.fd < 0) return;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        const QString token = name.chopped(std::min(name.size(), kLedgerNote.size()));
        if (!name.endsWith(kLedgerNote) || !isToken(token)) continue;
        const QString path = dir.filePath(name);
        if (finishNoted(path, token)) ::unlink(native(path).constData()); // this note, read just now
    }
}

} // namespace pb::files
