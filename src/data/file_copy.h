#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <vector>

// Whole-file and whole-folder copies that never leave a half-written file in
// the place of a good one. Every failure raises a VbError with the number a
// user would be told (53 missing, 70 refused, 61 disk full, 75, 76, ...).
namespace pb::files {

// True when both paths exist and name one file or folder (also through links).
bool sameFile(const QString& a, const QString& b);
// True when `path` lies somewhere below the folder `folder`.
bool isInside(const QString& path, const QString& folder);
// True when both files hold the same bytes.
bool sameContents(const QString& a, const QString& b);

bool fileExists(const QString& path);   // a file, not a folder
bool folderExists(const QString& path); // a folder, not a file

// Copies `from` to `to` through a temporary file in `to`'s folder, renamed over
// `to` only when complete. A file copied onto itself is left as it is.
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
// `tmp` beside it, and renames that over `to` in one step; `beforeCommit` runs
// just before the rename and may throw. The new file keeps `to`'s permissions.
// On any failure `to` is as it was and `tmp` is gone.
void replaceFile(const QString& to, const QString& tmp, const std::vector<Piece>& pieces,
                 const std::function<void()>& beforeCommit = {});

// Both build a copy of `from` beside `to` under a temporary name and only then
// put it in the place of whatever `to` was, so a failure leaves `to` as it was.
// Replacing drops what only the old `to` held; merging keeps it (files of the
// same name take the new contents).
void replaceFolder(const QString& from, const QString& to);
void mergeFolder(const QString& from, const QString& to);

// The same in two halves, for changes of several files that must not show half
// done: a copy made whole under a hidden temporary name beside `to` (a file, the
// given bytes, or a folder's tree), later put in `to`'s place, replacing it, or
// discarded. A failing stage leaves nothing behind.
QString stageCopy(const QString& from, const QString& to);
QString stageBytes(const QString& to, const QByteArray& bytes);
QString stageFolderCopy(const QString& from, const QString& to);
void putInPlace(const QString& staged, const QString& to);
void discard(const QString& staged);

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
