#pragma once

// The notes that let a killed write be finished or cleared away: the note of a set
// being replaced, written beside it before its first rename, and the ledger of running
// writes in the program folder. Shared by file_sets.cpp and file_copy.cpp only.
#include <QString>
#include <QtGlobal>
#include <vector>

namespace pb::files::detail {

// What stood under a name when a note was written, to tell later whether it is still so.
struct Seen {
    char kind = '-';  // '-' nothing, 'f' a file, 'd' a folder, 'l' a link, 'o' anything else
    qint64 size = 0;  // a file's bytes, a link's length, the entries of a folder's whole tree
    qint64 mtime = 0; // seconds; of a folder, the latest in its tree
};
Seen seen(const QString& path);
// True for a path a note or a ledger line can hold: no control character in it.
bool notable(const QString& path);

// One member of a set as its note names it: relative to the note's folder.
struct NoteStep {
    bool replace = false; // else the member goes
    QString relative;
    Seen old, fresh; // the member and its new version as the commit began
};

// The note of one commit beside the set's first member, whole before it takes its name and
// locked while the commit runs, so that no other program carries it out meanwhile.
class SetNote {
public:
    SetNote(const QString& first, const QString& token, const std::vector<NoteStep>& steps);
    ~SetNote();
    SetNote(const SetNote&) = delete;
    SetNote& operator=(const SetNote&) = delete;
    // The commit is over: the note goes, and its going reaches the disk.
    void remove();

private:
    QString m_path;
    int m_fd = -1;
};

enum class NoteOutcome {
    Finished, // carried out (or already gone): the set stands whole
    Refused,  // not a note of ours, or its members changed since: nothing was touched
    Busy,     // a running write holds it
    Left,     // the set stands whole, but a replaced version could not go: the note stays to retry
};
// Carries out the note: the new set takes its place and the replaced versions go. With
// `members`, a note that names anything else is refused; so is a note another user owns. A
// failing rename raises.
NoteOutcome carryOutNote(const QString& note, const std::vector<QString>* members);
// The notes beside `first` (the set's first member), by full path.
std::vector<QString> notesBeside(const QString& first);

} // namespace pb::files::detail
