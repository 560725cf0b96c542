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
