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
// ".dorvane-new-" and the write's own token, synced, and renamed over the target; the
// folder is synced after the rename, so neither a kill nor a power cut finds a
// half-written target. What a killed write leaves under such names is cleared away by
// finishUnfinishedWrites (file_sets.h), which knows each write's token from its ledger.
// A file is never written where a folder, a pipe or a device stands: that is error 75.
namespace pb::files {

// True when both paths exist and name one file or folder (also through links).
bool sameFile(const QString& a, const QString& b);
// True when both files hold the same bytes.
bool sameContents(const QString& a, const QString& b);

bool fileExists(const QString& path);   // a file, not a folder
bool folderExists(const QString& path); // a folder, not a file

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
// Writes `pieces`, one after another, as the whole of `to` under a name of this write's
// own beside it (".dorvane-swap-" and its token), syncs it and renames that over `to` in
// one step, then syncs the folder; `beforeCommit` runs just before the rename and may
// throw. The new file keeps `to`'s permissions. On any failure `to` is as it was and the
// new file is gone.
void replaceFile(const QString& to, const std::vector<Piece>& pieces,
                 const std::function<void()>& beforeCommit = {});

// The same for a file that its maker writes itself: `make` fills an empty new version
// of `to` (its path given), which is then synced and put in `to`'s place; when `make`
// throws, the new version is removed and `to` stays as it was.
void writeThrough(const QString& to, const std::function<void(const QString& staged)>& make);

// Creates the folder `path` (its parent must exist); an existing folder is fine.
void createFolder(const QString& path);
// Removes a file this program made, by its exact name; a missing one is fine.
void removeFile(const QString& path);

} // namespace pb::files
