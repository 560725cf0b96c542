#pragma once

#include "data/database_names.h"

#include <QString>
#include <vector>

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

// The files of a book, the database first: one set (file_sets.h).
std::vector<QString> bookSet(const BookPaths& book);

// A copy of `from` in the place of the book `to`, whose companions are all
// replaced or removed, as one set: a failure leaves the old book whole, a kill
// the old book or the new one once recoverBook has run.
void replaceBook(const BookPaths& from, const BookPaths& to);
// A new empty database in the place of the book `book`, in the same way: its
// bag, index and attachments folder are removed, so the new book starts clean.
void createEmptyBook(const BookPaths& book);
// A copy of `from` over an earlier copy of it (a backup), in the same way: the
// companions `from` has replace those of `to`, and the attachments folder is
// merged (files of the same name replaced, others kept); what `from` lacks stays.
void backUpBook(const BookPaths& from, const BookPaths& to);
// Finishes a replacement of the book `book` that a kill interrupted, or clears
// away what it had made, so no name of ours is left beside the book.
void recoverBook(const BookPaths& book);

} // namespace pb
