#include "data/file_sets.h"

#include "data/file_copy.h"
#include "data/file_copy_detail.h"
#include "platform/vb_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pb::files {

using namespace detail;

namespace {

// ---- The ledger: one note per running write, locked by its writer while it runs.

QString& ledgerFolder() {
    static QString folder;
    return folder;
}

QByteArray encodePaths(const std::vector<QString>& paths) {
    QByteArray text;
    for (const QString& p : paths)
        text += native(p).toPercentEncoding("/") + '\n';
    return text;
}

std::vector<QString> decodePaths(const QByteArray& text) {
    std::vector<QString> paths;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty()) paths.push_back(QFile::decodeName(QByteArray::fromPercentEncoding(line)));
    return paths;
}

// A write noted in the ledger: the note stays as long as the write is unfinished.
// The ledger only helps to clear away leftovers, so a note that cannot be made
// stops no write.
class LedgerNote {
public:
    explicit LedgerNote(const std::vector<QString>& targets) {
        const QString folder = ledgerFolder();
        if (folder.isEmpty()) return;
        if (::mkdir(native(folder).constData(), 0700) != 0 && errno != EEXIST) return;
        static int serial = 0;
        m_path = folder + QStringLiteral("/%1-%2.dorvane-note").arg(::getpid()).arg(++serial);
        m_fd =
            ::open(native(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0) return;
        // Held until the write ends, and released by the system when a kill ends it.
        ::flock(m_fd, LOCK_EX);
        const QByteArray text = encodePaths(targets);
        if (::write(m_fd, text.constData(), static_cast<std::size_t>(text.size())) != text.size()) drop();
    }
    ~LedgerNote() {
        if (m_fd >= 0) ::close(m_fd);
    }
    LedgerNote(const LedgerNote&) = delete;
    LedgerNote& operator=(const LedgerNote&) = delete;
    // The write is over: its note goes.
    void drop() {
        if (m_fd < 0) return;
        ::unlink(native(m_path).constData());
        ::close(m_fd);
        m_fd = -1;
        ::rmdir(native(ledgerFolder()).constData()); // only when no other note is in it
    }

private:
    QString m_path;
    int m_fd = -1;
};

// ---- The note of a set: what its commit does, written whole before the first rename.

struct Step {
    bool replace; // else the member goes
    QString target;
};

const QByteArray kNoteHead = "dorvane-set\n";
const QByteArray kNoteEnd = "end\n";

void writeSetNote(const QString& note, const std::vector<Step>& steps) {
    QByteArray text = kNoteHead;
    for (const Step& s : steps)
        text += (s.replace ? "R " : "D ") + native(s.target).toPercentEncoding("/") + '\n';
    text += kNoteEnd;
    makeBytes(note, text, note);
    syncFolderOf(note);
}

// The steps of a whole note; none for one a kill cut short (its commit never began).
std::optional<std::vector<Step>> readSetNote(const QString& note) {
    QFile f(note);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray text = f.readAll();
    if (!text.startsWith(kNoteHead) || !text.endsWith(kNoteEnd)) return std::nullopt;
    std::vector<Step> steps;
    for (const QByteArray& line :
         text.mid(kNoteHead.size(), text.size() - kNoteHead.size() - kNoteEnd.size()).split('\n')) {
        if (line.size() < 3 || line[1] != ' ' || (line[0] != 'R' && line[0] != 'D')) continue;
        steps.push_back({line[0] == 'R', QFile::decodeName(QByteArray::fromPercentEncoding(line.mid(2)))});
    }
    return steps;
}

void renameOrFail(const QString& from, const QString& to) {
    if (::rename(native(from).constData(), native(to).constData()) != 0) fail(to, errno);
}

// The member's present version goes to its old name, out of the way.
void moveAside(const QString& target) {
    if (!exists(target)) return;
    const QString old = oldVersionOf(target);
    if (const int e = removeEntry(old)) fail(old, e);
    renameOrFail(target, old);
}

void syncFolders(const std::vector<Step>& steps) {
    std::set<QString> folders;
    for (const Step& s : steps)
        if (folders.insert(QFileInfo(s.target).absolutePath()).second) syncFolderOf(s.target);
}

// Carries out a whole note; every step may already have been done.
void rollForward(const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        const QString staged = newVersionOf(s.target);
        if (!s.replace) {
            moveAside(s.target);
        } else if (exists(staged)) {
            if (isFolder(s.target) || isFolder(staged)) moveAside(s.target);
            renameOrFail(staged, s.target);
        }
    }
    syncFolders(steps);
}

// Removes the leftovers of ours beside the members: 0, or the first errno that stopped it.
int clearLeftovers(const std::vector<QString>& members) {
    int first = 0;
    for (const QString& m : members)
        for (const QString& name : {newVersionOf(m), oldVersionOf(m)})
            if (const int e = removeEntry(name); e != 0 && first == 0) first = e;
    return first;
}

} // namespace

void recoverSet(const std::vector<QString>& members) {
    if (members.empty()) return;
    const QString note = setNoteOf(members.front());
    if (exists(note)) {
        const auto steps = readSetNote(note);
        // A note that names anything but these members is no note of this set: it moves nothing.
        const bool ours = !steps || std::all_of(steps->begin(), steps->end(), [&](const Step& s) {
            return std::find(members.begin(), members.end(), s.target) != members.end();
        });
        if (ours) {
            if (steps) rollForward(*steps);
            removeFile(note);
            syncFolderOf(note);
        }
    }
    if (const int e = clearLeftovers(members)) fail(members.front(), e);
}

struct FileSet::Member {
    QString target;
    enum Action { Keep, Replace, Remove } action = Keep;
};

struct FileSet::Note {
    explicit Note(const std::vector<QString>& members) : ledger(members) {}
    LedgerNote ledger;
    bool unfinished = false; // a commit that could neither end nor be undone: left for recovery
};

FileSet::FileSet(std::vector<QString> members) {
    recoverSet(members);
    m_note = std::make_unique<Note>(members);
    for (QString& m : members)
        m_members.push_back({std::move(m)});
}

FileSet::~FileSet() {
    if (m_note->unfinished) return; // the note in the ledger outlives us, and the next start finishes it
    for (const Member& m : m_members)
        if (m.action == Member::Replace) (void)removeEntry(newVersionOf(m.target));
    m_note->ledger.drop();
}

FileSet::Member& FileSet::member(const QString& path) {
    for (Member& m : m_members)
        if (m.target == path) return m;
    throw VbError(err::PathFileAccess, QStringLiteral("Not a member of the set: ") + path);
}

void FileSet::stageCopy(const QString& path, const QString& from) {
    Member& m = member(path);
    m.action = Member::Replace;
    makeCopy(from, newVersionOf(path), path);
}

void FileSet::stageBytes(const QString& path, const QByteArray& bytes) {
    Member& m = member(path);
    m.action = Member::Replace;
    makeBytes(newVersionOf(path), bytes, path);
}

void FileSet::stageFolder(const QString& path, const QString& from, const std::vector<NamedBytes>& files,
                          bool keepOld) {
    Member& m = member(path);
    m.action = Member::Replace;
    makeFolder(newVersionOf(path), from, files, keepOld ? path : QString());
}

void FileSet::remove(const QString& path) {
    member(path).action = Member::Remove;
}

void FileSet::commit() {
    std::vector<Step> steps;
    for (const Member& m : m_members)
        if (m.action != Member::Keep) steps.push_back({m.action == Member::Replace, m.target});
    if (steps.empty()) return;
    const Step& only = steps.front();
    if (steps.size() == 1 && only.replace && !isFolder(newVersionOf(only.target)) && !isFolder(only.target)) {
        // One file: a single rename puts it in place.
        renameOrFail(newVersionOf(only.target), only.target);
        syncFolderOf(only.target);
        return;
    }
    // The new versions' names reach the disk before the note that names them, and the
    // note before the first rename: whatever stops the renames, the note finishes them.
    syncFolders(steps);
    const QString note = setNoteOf(steps.front().target);
    writeSetNote(note, steps);
    try {
        for (const Step& s : steps)
            moveAside(s.target);
        for (const Step& s : steps)
            if (s.replace) renameOrFail(newVersionOf(s.target), s.target);
        syncFolders(steps);
    } catch (...) {
        // The old set goes back; should that fail too, the note stays to finish the new one.
        try {
            for (const Step& s : steps) {
                const QString staged = newVersionOf(s.target);
                if (s.replace && !exists(staged) && exists(s.target)) renameOrFail(s.target, staged);
            }
            for (const Step& s : steps) {
                const QString old = oldVersionOf(s.target);
                if (exists(old) && !exists(s.target)) renameOrFail(old, s.target);
            }
            syncFolders(steps);
            removeFile(note);
        } catch (...) {
            m_note->unfinished = true;
        }
        throw;
    }
    // The note's end reaches the disk before anything else is done there: a note that came
    // back after a power cut would remove again what took the place of a member that went.
    removeFile(note);
    syncFolderOf(note);
    for (const Step& s : steps)
        (void)removeEntry(oldVersionOf(s.target)); // what cannot go now goes with the next write
}

void replacePageSet(const QString& pageFile, const QByteArray& page, const QString& folder,
                    const std::vector<NamedBytes>& files, const QString& extras) {
    FileSet set({pageFile, folder});
    set.stageFolder(folder, extras, files, true);
    set.stageBytes(pageFile, page);
    set.commit();
}

// ---- One file or one folder: a set of one member.

void copyFile(const QString& from, const QString& to) {
    if (sameFile(from, to)) return;
    FileSet set({to});
    set.stageCopy(to, from);
    set.commit();
}

void writeFile(const QString& to, const QByteArray& bytes) {
    FileSet set({to});
    set.stageBytes(to, bytes);
    set.commit();
}

void replaceFolder(const QString& from, const QString& to) {
    if (sameFile(from, to)) return;
    FileSet set({to});
    set.stageFolder(to, from, {}, false);
    set.commit();
}

void mergeFolder(const QString& from, const QString& to) {
    if (sameFile(from, to)) return;
    FileSet set({to});
    set.stageFolder(to, from, {}, true);
    set.commit();
}

void writeThrough(const QString& to, const std::function<void(const QString& staged)>& make) {
    FileSet set({to});
    set.stageBytes(to, {});
    const QString staged = newVersionOf(to);
    make(staged);
    // Its maker wrote it: it is synced here, before it takes the name.
    syncFile(staged);
    set.commit();
}

// ---- The ledger as a whole.

void setLedgerFolder(const QString& programFolder) {
    ledgerFolder() =
        programFolder.isEmpty() ? QString() : QDir(programFolder).filePath(QStringLiteral(".dorvane-writes"));
}

void finishUnfinishedWrites() {
    const QString folder = ledgerFolder();
    if (folder.isEmpty()) return;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.dorvane-note")}, QDir::Files | QDir::Hidden)) {
        const QString path = dir.filePath(name);
        const int fd = ::open(native(path).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        // A note still locked belongs to a write that is running now.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            QFile f;
            if (f.open(fd, QIODevice::ReadOnly)) {
                try {
                    recoverSet(decodePaths(f.readAll()));
                    ::unlink(native(path).constData());
                } catch (const VbError&) {
                    // Kept: a later start tries again.
                }
            }
        }
        ::close(fd);
    }
    ::rmdir(native(folder).constData());
}

} // namespace pb::files
