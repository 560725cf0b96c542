#include "data/file_sets.h"

#include "data/file_copy.h"
#include "data/file_copy_detail.h"
#include "data/file_notes.h"
#include "platform/vb_error.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pb::files {

using namespace detail;

void recoverSet(const std::vector<QString>& members) {
    if (members.empty()) return;
    // A note refused, or held by a write running now, stays as it is.
    for (const QString& note : notesBeside(members.front()))
        (void)carryOutNote(note, &members);
}

struct FileSet::Member {
    QString target;
    QString relative; // to the first member's folder, as the note names it
    enum Action { Keep, Replace, Remove } action = Keep;
    bool folder = false;
};

struct FileSet::Write {
    Write(const QString& t, const std::vector<QString>& names) : token(t), ledger(t, names) {}
    // Sets in one folder are written one at a time, also by two programs: held from the
    // recovery of an earlier write to the end of this one.
    Fd folderLock;
    QString token;
    LedgerNote ledger;
    std::unique_ptr<SetNote> note;
    // New versions written but not yet synced: all of them are synced at once before the commit.
    std::vector<QString> unsynced;
    // What could not be finished or cleared away now: the ledger keeps it for the next start.
    bool leftForLater = false;
};

FileSet::FileSet(const std::vector<QString>& members) {
    if (members.empty()) throw VbError(err::PathFileAccess);
    const QDir base(QFileInfo(members.front()).absolutePath());
    for (const QString& m : members) {
        const QString relative = base.relativeFilePath(QFileInfo(m).absoluteFilePath());
        // A name its note could not hold could not be finished after a kill: no such set is begun.
        if (!notable(m) || relative.isEmpty() || relative == QLatin1String("..") ||
            relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
            throw VbError(err::PathFileAccess);
        m_members.push_back({m, relative});
    }
    Fd folderLock;
    // Only a second member can have left a set note behind, or needs the renames of a note.
    if (members.size() > 1) {
        folderLock.fd = ::open(native(base.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // Where the folder cannot be locked, sets are written as before: one program at a time.
        if (folderLock.fd >= 0 && ::flock(folderLock.fd, LOCK_EX) != 0) folderLock.close();
        recoverSet(members);
    }
    const QString token = newToken();
    std::vector<QString> names;
    for (const Member& m : m_members) {
        names.push_back(stagedName(m.target, "new", token));
        names.push_back(stagedName(m.target, "old", token));
    }
    names.push_back(stagedName(m_members.front().target, "part", token));
    names.push_back(stagedName(m_members.front().target, "set", token));
    m_write = std::make_unique<Write>(token, names);
    std::swap(m_write->folderLock.fd, folderLock.fd);
}

FileSet::~FileSet() {
    if (m_write->leftForLater) return; // the note in the ledger outlives us, and the next start finishes it
    bool clean = true;
    for (const Member& m : m_members)
        if (m.action == Member::Replace && removeEntry(newVersion(m)) != 0)
            clean = false; // made by this write
    if (clean) m_write->ledger.drop();
}

FileSet::Member& FileSet::member(const QString& path) {
    for (Member& m : m_members)
        if (m.target == path) return m;
    throw VbError(err::PathFileAccess, QStringLiteral("Not a member of the set: ") + path);
}

QString FileSet::newVersion(const Member& m) const {
    return stagedName(m.target, "new", m_write->token);
}

QString FileSet::oldVersion(const Member& m) const {
    return stagedName(m.target, "old", m_write->token);
}

void FileSet::stageFile(const QString& path, const std::function<void(const QString& staged)>& make) {
    Member& m = member(path);
    requireReplaceable(path, false);
    make(newVersion(m));
    m.action = Member::Replace;                 // only once its new version is this write's own
    m_write->unsynced.push_back(newVersion(m)); // synced with the others before it takes the name
}

void FileSet::stageCopy(const QString& path, const QString& from) {
    stageFile(path, [&](const QString& staged) { makeCopy(from, staged, path, false); });
}

void FileSet::stageBytes(const QString& path, const QByteArray& bytes) {
    stageFile(path, [&](const QString& staged) { makeBytes(staged, bytes, path, false); });
}

void FileSet::stageMade(const QString& path, const std::function<void(const QString& staged)>& make) {
    stageFile(path, [&](const QString& staged) {
        makeBytes(staged, {}, path, false);
        try {
            make(staged);
        } catch (...) {
            (void)removeEntry(staged); // made just now by this write
            throw;
        }
    });
}

void FileSet::stageFolder(const QString& path, const QString& from, const std::vector<NamedBytes>& files,
                          bool keepOld) {
    Member& m = member(path);
    requireReplaceable(path, true);
    makeFolder(newVersion(m), from, files, keepOld ? path : QString());
    m.action = Member::Replace; // only once its new version is this write's own
    m.folder = true;
}

void FileSet::removeFile(const QString& path) {
    requireReplaceable(path, false);
    member(path).action = Member::Remove;
}

void FileSet::removeFolder(const QString& path) {
    requireReplaceable(path, true);
    Member& m = member(path);
    m.action = Member::Remove;
    m.folder = true;
}

void FileSet::commit() {
    std::vector<const Member*> steps;
    for (const Member& m : m_members)
        if (m.action != Member::Keep) steps.push_back(&m);
    if (steps.empty()) return;
    // On the disk before any takes its name: after a power cut no name stands for an empty file.
    syncFiles(m_write->unsynced);
    m_write->unsynced.clear();
    std::vector<QString> targets;
    for (const Member* s : steps)
        targets.push_back(s->target);
    const Member& only = *steps.front();
    if (steps.size() == 1 && only.action == Member::Replace && (!only.folder || !exists(only.target))) {
        // One new version where no folder stands: a single rename puts it in place.
        renameOrFail(newVersion(only), only.target);
        syncFolderOf(only.target);
        return;
    }
    // The new versions' names reach the disk before the note that names them, and the
    // note before the first rename: whatever stops the renames, the note finishes them.
    syncFoldersOf(targets);
    std::vector<NoteStep> noteSteps;
    for (const Member* s : steps) {
        const bool replace = s->action == Member::Replace;
        noteSteps.push_back({replace, s->relative, seen(s->target), replace ? seen(newVersion(*s)) : Seen{}});
        // A member that cannot be read whole could never be told again after a kill.
        if (noteSteps.back().old.kind == 'o' || noteSteps.back().fresh.kind == 'o')
            throw VbError(err::PathFileAccess);
    }
    m_write->note = std::make_unique<SetNote>(m_members.front().target, m_write->token, noteSteps);
    try {
        for (const Member* s : steps)
            if (exists(s->target)) renameOrFail(s->target, oldVersion(*s));
        for (const Member* s : steps)
            if (s->action == Member::Replace) renameOrFail(newVersion(*s), s->target);
        syncFoldersOf(targets);
    } catch (...) {
        // The old set goes back; should that fail too, the note stays to finish the new one.
        try {
            for (const Member* s : steps)
                if (s->action == Member::Replace && !exists(newVersion(*s)) && exists(s->target))
                    renameOrFail(s->target, newVersion(*s));
            for (const Member* s : steps)
                if (exists(oldVersion(*s)) && !exists(s->target)) renameOrFail(oldVersion(*s), s->target);
            syncFoldersOf(targets);
            // A replaced version that could not go back stays noted, never forgotten.
            const bool allBack = std::none_of(steps.begin(), steps.end(),
                                              [&](const Member* s) { return exists(oldVersion(*s)); });
            if (allBack)
                m_write->note->remove();
            else
                m_write->leftForLater = true;
        } catch (...) {
            m_write->leftForLater = true;
        }
        throw;
    }
    // The replaced versions go before the note: a note found later finds its members as it left them.
    for (const Member* s : steps)
        if (removeEntry(oldVersion(*s)) != 0) m_write->leftForLater = true; // made by this write
    try {
        m_write->note->remove();
    } catch (const VbError&) {
        m_write->leftForLater = true; // the set stands whole: the next start only clears the note away
    }
}

void replacePageSet(const QString& pageFile, const QByteArray& page, const QString& folder,
                    const std::vector<NamedBytes>& files, const QString& extras) {
    const auto inFolder = [&](const QString& name) -> QString { return folder + QLatin1Char('/') + name; };
    std::vector<QString> members = {pageFile};
    for (const NamedBytes& f : files)
        members.push_back(inFolder(f.name));
    // A file of `extras` that differs from a page only in case would stand for it where names
    // are looked up without regard to case.
    QStringList copies;
    if (!extras.isEmpty())
        for (const QString& name : filesIn(extras))
            if (std::none_of(files.begin(), files.end(), [&](const NamedBytes& f) {
                    return f.name.compare(name, Qt::CaseInsensitive) == 0;
                }))
                copies << name;
    for (const QString& name : copies)
        members.push_back(inFolder(name));
    FileSet set(members);
    set.stageBytes(pageFile, page);
    for (const NamedBytes& f : files)
        set.stageBytes(inFolder(f.name), f.bytes);
    for (const QString& name : copies)
        set.stageCopy(inFolder(name), extras + QLatin1Char('/') + name);
    set.commit();
}

NotedLock::NotedLock(const QString& lockFile)
    : m_note(std::make_unique<LedgerNote>(newToken(), std::vector{lockFile})) {}

NotedLock::~NotedLock() {
    m_note->drop();
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

void writeThrough(const QString& to, const std::function<void(const QString& staged)>& make) {
    FileSet set({to});
    set.stageMade(to, make);
    set.commit();
}

} // namespace pb::files
