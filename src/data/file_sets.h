#pragma once

#include <QByteArray>
#include <QString>
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
    // Every member by its full path. Leftovers of an earlier write of these
    // members are cleared away first (an interrupted replacement is finished).
    explicit FileSet(std::vector<QString> members);
    // New versions not put in place are removed.
    ~FileSet();
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;

    // The member's new version: a copy of the file `from`, or the bytes given.
    void stageCopy(const QString& member, const QString& from);
    void stageBytes(const QString& member, const QByteArray& bytes);
    // The member folder's new version: the `files`, then the tree of `from` (when not
    // empty) where they have none of that name, then, with `keepOld`, what only the
    // member folder held (kept by a second name, not copied). A name that differs from
    // one of `files` only in case is left out: it would stand for that file where
    // names are looked up without regard to case.
    void stageFolder(const QString& member, const QString& from, const std::vector<NamedBytes>& files,
                     bool keepOld);
    // The member goes when the set is put in place.
    void remove(const QString& member);
    // Puts every new version in its member's place and removes the members to go;
    // members neither staged nor removed stay as they are. On a failure the old set
    // is put back and the error raised.
    void commit();

private:
    struct Member;
    Member& member(const QString& path);
    std::vector<Member> m_members;
    struct Note;
    std::unique_ptr<Note> m_note;
};

// Finishes a replacement of these members that a kill interrupted, or clears away
// what it had made; then no name of ours is left beside any of them.
void recoverSet(const std::vector<QString>& members);

// A page file and, beside it, the folder of what it shows, replaced as one set:
// the folder takes `files` and the files of `extras`, and keeps the other files it
// held; a file of `extras` never stands for one of `files`.
void replacePageSet(const QString& pageFile, const QByteArray& page, const QString& folder,
                    const std::vector<NamedBytes>& files, const QString& extras);

// Unfinished writes are noted while they run in the hidden folder ".dorvane-writes"
// of `programFolder` (empty: nowhere), so that finishUnfinishedWrites can clear away
// what a killed run left anywhere.
void setLedgerFolder(const QString& programFolder);
// Finishes or clears away every noted write that no running program is still making.
void finishUnfinishedWrites();

} // namespace pb::files
