#pragma once

// Shared by file_copy.cpp and file_sets.cpp only.
#include "data/file_sets.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace pb::files::detail {

QByteArray native(const QString& path);
[[noreturn]] void fail(const QString& path, int e);

// The file `staged` made as a synced copy of the file `from`, or of `bytes`; `to` is
// the target it stands for (named in errors). A failure leaves no `staged`.
void makeCopy(const QString& from, const QString& staged, const QString& to);
void makeBytes(const QString& staged, const QByteArrayView& bytes, const QString& to);
// The folder `staged` made of the `files`, the tree of `from` (when not empty) where
// those have none of the name, and what only `old` holds (when not empty), linked
// rather than copied; a name that differs from one of `files` only in case is left
// out. Every file and folder in it is synced. A failure leaves no `staged`.
void makeFolder(const QString& staged, const QString& from, const std::vector<NamedBytes>& files,
                const QString& old);

// Removes a file, or a folder with everything in it; links are removed, never
// followed. Returns 0, or the errno that stopped it (a missing entry is no error).
int removeEntry(const QString& path);
bool exists(const QString& path);   // anything under the name, a dangling link too
bool isFolder(const QString& path); // a folder itself, not a link to one
void syncFile(const QString& path);
// Syncs the folder that holds `path`.
void syncFolderOf(const QString& path);

} // namespace pb::files::detail
