#pragma once

#include "table.h"

#include <QByteArray>
#include <QString>

namespace pb {
class Data;
}

// The database file copy and the report of a loaded book, against a bare prepared insert of the
// same rows in one transaction.
struct DatabaseBench {
    int rows = 0;
    pbbench::Table table; // the copy job first; the sqlite3 shell's CSV import second when it is installed
    bool shell = false;
};

DatabaseBench benchDatabaseFile(const QString& dir, const QByteArray& book, int count, pb::Data* data);
// Prints the table; false when a figure misses its target.
bool printDatabaseBench(const DatabaseBench& b);
