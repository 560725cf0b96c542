#pragma once

// Shared by file_copy.cpp, file_sets.cpp and file_notes.cpp only.
#include "data/file_sets.h"

#include <QByteArray>
#include <QString>
#include <vector>

#include <unistd.h>

namespace pb::files::detail {

// Closes its descriptor on every way out.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    // Closes now and reports what the close said (a late write error shows here).
    int close() {
        const int r = ::close(fd);
        fd = -1;
        return r;
    }
};

QByteArray native(const QString& path);
[[noreturn]] void fail(const QString& path, int e);

// A fresh token for one write: its staged names carry it, and its ledger note or set note
// records it, so that only names a write made are ever removed.
QString newToken();
bool isToken(QStringView text);
// The name of one of a write's own files beside `target`: "new" (its new version), "old" (its
// replaced version), "swap" (a book's new version), "set" (the set's note), "part" (the note
// while it is written).
QString stagedName(const QString& target, const char* kind, const QString& token);

// The file `staged` made as a copy of the file `from`, or of `bytes`, synced unless `sync` is
// off (then syncStaged does it later, with others); `to` is the target it stands for (named in
// errors), whose mode (and owner, where allowed) it takes when `to` is a file. `staged` must
// not exist. A failure leaves no `staged`.
void makeCopy(const QString& from, const QString& staged, const QString& to, bool sync = true);
void makeBytes(const QString& staged, const QByteArrayView& bytes, const QString& to, bool sync = true);
// Syncs files written without: the writing-out of all is started first, then waited for.
void syncFiles(const std::vector<QString>& paths);
// The folder `staged` made of the `files`, the tree of `from` (when not empty) where
// those have none of the name, and what only `old` holds (when not empty), linked
// rather than copied; a name that differs from one of `files` only in case is left
// out. Every file and folder in it is synced. A failure leaves no `staged`.
void makeFolder(const QString& staged, const QString& from, const std::vector<NamedBytes>& files,
                const QString& old);
// The regular files directly in `folder` (links to them too), by name.
QStringList filesIn(const QString& folder);

// Removes a file, or a folder with everything in it; links are removed, never
// followed, and no other file system mounted below is entered. Only for names this
// write made or a ledger or note recorded. Returns 0, or the errno that stopped it
// (a missing entry is no error).
int removeEntry(const QString& path);
bool exists(const QString& path);   // anything under the name, a dangling link too
bool isFolder(const QString& path); // a folder itself, not a link to one
// Raises 75 unless `path` is free, or holds what a write of this kind may replace: a
// regular file or a link to one for a file, a folder or a link to one for a folder.
void requireReplaceable(const QString& path, bool folder);
// Syncs the folder that holds `path`.
void syncFolderOf(const QString& path);
// Syncs each folder that holds one of `paths`, once.
void syncFoldersOf(const std::vector<QString>& paths);
void renameOrFail(const QString& from, const QString& to);

} // namespace pb::files::detail

namespace pb::files::detail {

// A running write noted in the program's ledger (setLedgerFolder) by its token and the
// exact names it may leave: the note stays locked while the write runs, and the next start
// clears away what a killed write left under those names. The ledger only helps to clear
// leftovers, so a note that cannot be made stops no write.
class LedgerNote {
public:
    LedgerNote(const QString& token, const std::vector<QString>& names);
    ~LedgerNote();
    LedgerNote(const LedgerNote&) = delete;
    LedgerNote& operator=(const LedgerNote&) = delete;
    // The write is over and left nothing: its note goes.
    void drop();

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace pb::files::detail
