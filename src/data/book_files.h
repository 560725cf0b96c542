#pragma once

#include "data/database_names.h"

#include <QString>

namespace pb {

// A book and the companions that travel with it, by full path.
struct BookPaths {
    QString database;
    QString settings;    // the ".set" bag
    QString index;       // "AttachmentsRef.att"
    QString attachments; // the attachments folder
};

BookPaths bookPaths(const DatabaseNames& names);
// A chosen file as a book: ".q7b" is added to a name without it, and the
// companions are named from the file name's stem, never from a folder's name.
BookPaths bookPathsFor(const QString& chosenFile);
// The same file names as `book`'s in another folder.
BookPaths bookPathsIn(const QString& folder, const BookPaths& book);
// The path with ".q7b" added when it does not end in it (any case).
QString withBookExtension(const QString& path);

// One name for one place: the same cleaned path, one file reached through links or
// by another spelling of its name, or (neither there yet) the same name in the same
// folder, letters compared without regard to case where the folder does so.
bool samePlace(const QString& a, const QString& b);
// True when `path` lies somewhere below `folder`, matched as samePlace matches.
bool insideOf(const QString& path, const QString& folder);

// True for the program's own files, which are never a book and never the place of a
// file the user names: in the program folder the record clipboard, the sort file, the
// print file, the note pages, the editor's settings, the web preview and its folder,
// the database copy and the applet folder (and what the two folders hold); the
// settings file; and any staged or swap file of ours, wherever it lies.
bool isWorkingFile(const QString& path);

// What a place the user names to write would land on.
enum class Clash { None, OpenBook, WorkingFile };
// The one check of a place the user names to write: the open book `open` (its file,
// bag, index, attachments folder or anything in it), or a working file. With
// `wholeFolder`, `path` is a folder that the writer fills or replaces as a whole, so
// anything of ours inside it clashes too.
Clash targetClash(const QString& path, const BookPaths& open, bool wholeFolder = false);
// A book written in the place of `target`: any of its files, its attachments folder
// as a whole.
Clash targetClash(const BookPaths& target, const BookPaths& open);

// The steps of copying a book beside an earlier copy of it (a backup); each
// throws a VbError and leaves what it had not yet replaced as it was.
// The database file itself: it must exist.
void copyDatabaseFile(const BookPaths& from, const BookPaths& to);
// Bag and index: copied when `from` has one.
void copySettingsFile(const BookPaths& from, const BookPaths& to);
void copyIndexFile(const BookPaths& from, const BookPaths& to);
// The attachments folder, when `from` has one, merged into the target's: files
// of the same name replaced, others kept.
void copyAttachmentsFolder(const BookPaths& from, const BookPaths& to);

// A copy of `from` in the place of the book `to`, whose companions are all
// replaced or removed. Nothing of `to` changes until every new file is whole;
// a kill while they are put in place leaves no file of one book beside the other's.
void replaceBook(const BookPaths& from, const BookPaths& to);
// A new empty database in the place of the book `book`, in the same way: its
// bag, index and attachments folder are removed, so the new book starts clean.
void createEmptyBook(const BookPaths& book);

} // namespace pb
