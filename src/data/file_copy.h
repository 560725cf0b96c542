#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

// Whole-file and whole-folder copies that never leave a half-written file in
// the place of a good one. Every failure raises a VbError with the number a
// user would be told (53 missing, 70 refused, 61 disk full, 75, 76, ...).
//
// A new version is made beside its target under the target's name followed by
// ".dorvane-new", synced, and renamed over the target; the folder is synced after
// the rename, so neither a kill nor a power cut finds a half-written target. What
// a killed write leaves under such names is cleared away by the next write of the
// same target, and by finishUnfinishedWrites (file_sets.h).
namespace pb::files {

// True when both paths exist and name one file or folder (also through links).
bool sameFile(const QString& a, const QString& b);
// True when both files hold the same bytes.
bool sameContents(const QString& a, const QString& b);

bool fileExists(const QString& path);   // a file, not a folder
bool folderExists(const QString& path); // a folder, not a file

// The names beside a target that are ours: its new version while it is made, its
// replaced version until it is removed, and the note of a set being replaced.
QString newVersionOf(const QString& target);
QString oldVersionOf(const QString& target);
QString setNoteOf(const QString& target);

// Copies `from` to `to` through its new version, renamed over `to` only when
// complete. A file copied onto itself is left as it is.
void copyFile(const QString& from, const QString& to);
// Writes `bytes` as the whole of `to` the same way.
void writeFile(const QString& to, const QByteArray& bytes);
// A part of a new version of a file: bytes given here, or (with `from` set) `length`
// bytes of the file it replaces, taken from `from` on.
struct Piece {
    QByteArrayView bytes;
    qint64 from = -1;
    qint64 length = 0;
};
inline Piece newBytes(QByteArrayView bytes) {
    return {bytes, -1, 0};
}
inline Piece oldBytes(qint64 from, qint64 length) {
    return {{}, from, length};
}
// Writes `pieces`, one after another, as the whole of `to` under the fixed name
// `tmp` beside it, syncs it and renames that over `to` in one step, then syncs the
// folder; `beforeCommit` runs just before the rename and may throw. The new file
// keeps `to`'s permissions. On any failure `to` is as it was and `tmp` is gone.
void replaceFile(const QString& to, const QString& tmp, const std::vector<Piece>& pieces,
                 const std::function<void()>& beforeCommit = {});

// Both build a copy of `from` beside `to` and only then put it in the place of
// whatever `to` was, so a failure leaves `to` as it was. Replacing drops what
// only the old `to` held; merging keeps it (files of the same name take the new
// contents).
void replaceFolder(const QString& from, const QString& to);
void mergeFolder(const QString& from, const QString& to);

// The same for a file that its maker writes itself: `make` fills an empty new version
// of `to` (its path given), which is then synced and put in `to`'s place; when `make`
// throws, the new version is removed and `to` stays as it was.
void writeThrough(const QString& to, const std::function<void(const QString& staged)>& make);

// Creates the folder `path` (its parent must exist); an existing folder is fine.
void createFolder(const QString& path);
// Removes the folder of exactly this name with everything in it (a link of that
// name is removed itself, and no link below it is followed); a missing one is
// fine. The name is gone at once, or the folder is left whole; a failure while
// clearing what was in it is still raised.
void removeFolder(const QString& path);
// Removes a file; a missing one is fine.
void removeFile(const QString& path);

} // namespace pb::files
