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

// True when writing `target`'s files would touch a file of `open`: the same
// file or name, or a file inside a folder that the target replaces.
bool overlaps(const BookPaths& target, const BookPaths& open);

// True for the program's own working files, which are never a book: the record
// clipboard, the print file, the note pages and the database copy in the program folder, and any
// book's swap file (its path with ".dorvane-swap" after it, any case). The same
// file counts by its cleaned absolute path or as one file through a link.
bool isWorkingFile(const QString& path);
// True when any file of `book` is a working file.
bool holdsWorkingFile(const BookPaths& book);

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
