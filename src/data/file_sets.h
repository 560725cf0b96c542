#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Files and folders that belong together (a book and its companions, a page and
// the folder of what it shows) replaced as one: after a failure the old set
// stands, after a kill the old set or the new one once the next write of the same
// set, or the next start, has finished what the kill interrupted.
namespace pb::files {

struct NamedBytes {
    QString name;
    QByteArray bytes;
};

class FileSet {
public:
    // Every member by its full path, each in the folder of the first or below it. An
    // interrupted replacement of these members that a note beside the first one records is
    // finished first, while its members are as the note left them.
    explicit FileSet(const std::vector<QString>& members);
    // New versions not put in place are removed.
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // The member's new version: a copy of the file `from`, the bytes given, or a file that
    // `make` fills itself (its path given; it is synced here). A folder, a pipe or a device
    // standing at the member's name is error 75, and nothing is made.
    void stageCopy(const QString& member, const QString& from);
    void stageBytes(const QString& member, const QByteArray& bytes);
    void stageMade(const QString& member, const std::function<void(const QString& staged)>& make);
    // The member folder's new version: the `files`, then the tree of `from` (when not
    // empty) where they have none of that name, then, with `keepOld`, what only the
    // member folder held (kept by a second name, not copied). A name that differs from
    // one of `files` only in case is left out: it would stand for that file where
    // names are looked up without regard to case. A file standing at its name is error 75.
    void stageFolder(const QString& member, const QString& from, const std::vector<NamedBytes>& files,
                     bool keepOld);
    // The member goes when the set is put in place: a file (or a link), or a folder with all
    // it holds; anything else standing there is error 75.
    void removeFile(const QString& member);
    void removeFolder(const QString& member);
    // Puts every new version in its member's place and removes the members to go;
    // members neither staged nor removed stay as they are. On a failure the old set
    // is put back and the error raised.
    void commit();

private:
    struct Member;
    struct Write;
    Member& member(const QString& path);
    // The member's new version, made by `make` under its staged name.
    void stageFile(const QString& member, const std::function<void(const QString& staged)>& make);
    QString newVersion(const Member& m) const;
    QString oldVersion(const Member& m) const;
    std::vector<Member> m_members;
    std::unique_ptr<Write> m_write;
};

// Finishes a replacement of these members that a kill interrupted, as the note beside the
// first member records it, while the members stand as the note left them; a note that
// names other members, or finds them changed, is left as it is with everything it names.
void recoverSet(const std::vector<QString>& members);

// A page file and, in the folder beside it, the files of what it shows, replaced as one
// set: the folder takes `files` and the files directly in the folder `extras`, except one
// named as one of `files` (in any case), and everything else in it stays exactly as it is.
void replacePageSet(const QString& pageFile, const QByteArray& page, const QString& folder,
                    const std::vector<NamedBytes>& files, const QString& extras);

namespace detail {
class LedgerNote;
}

// While it lives, the lock file `lockFile` (".<name>.dorvane-lock") that this copy holds is
// noted in the ledger, so that should a kill end this copy, the next start lets go of it: the
// lock's own record must show that its holder is gone before the file is removed.
class NotedLock {
public:
    explicit NotedLock(const QString& lockFile);
    ~NotedLock();
    NotedLock(const NotedLock&) = delete;
    NotedLock& operator=(const NotedLock&) = delete;

private:
    std::unique_ptr<detail::LedgerNote> m_note;
};

// Running writes are noted in the hidden folder ".dorvane-writes" of `programFolder`
// (empty: nowhere), each with its token and the names it may leave, so that
// finishUnfinishedWrites can clear away what a killed run left anywhere.
void setLedgerFolder(const QString& programFolder);
// Finishes or clears away every noted write that no running program is still making;
// only the names a note records are removed.
void finishUnfinishedWrites();

} // namespace pb::files
