#pragma once

#include <QByteArray>
#include <functional>

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

// Opens the database named by the module as its database file (created empty when missing).
void openDatabase();
// Counts the open database into RecordCount, reading the file in one go.
CountResult countDatabase(const std::function<void(int)>& checking = {});

} // namespace pb
