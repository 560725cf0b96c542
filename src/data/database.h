#pragma once

#include "data/file_copy.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace pb {

struct CountResult {
    int count = 0;
    // The file holds more live records than a book can: only the first kMaxRecords count.
    bool truncated = false;
};

// Counts the records of a database held in `bytes` (the whole file): the records
// before the first end mark. `checking` is told each record number read, from 1 up
// to the first record past the data.
CountResult countRecords(const QByteArray& bytes, const std::function<void(int)>& checking = {});

// Makes this copy the holder of the book named by the module (a hold it has on it is kept).
// Throws err::BookInUse when another running copy holds the book.
void holdBook();
// Opens the database named by the module as its database file (created empty when missing),
// once this copy holds it.
void openDatabase();
// Counts the open database into RecordCount and DatabaseTooLarge, reading the file in one go.
CountResult countDatabase(const std::function<void(int)>& checking = {});

// Puts `pieces`, one after another, in the place of the book file `databaseFile`: they
// are written beside it under its swap name and renamed over it in one step, so a
// failure, or a kill at any moment, leaves the old book or the new one, never a mix.
// `beforeCommit` runs just before the rename and may throw.
void replaceBookFile(const QString& databaseFile, const std::vector<files::Piece>& pieces,
                     const std::function<void()>& beforeCommit = {});
// The same for the open book, which is then opened again on its new file. Should that
// reopening fail, the new book stands and no database is open.
void replaceOpenBook(const std::vector<files::Piece>& pieces);

} // namespace pb
