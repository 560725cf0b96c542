#pragma once

#include <QByteArray>
#include <QString>

namespace pb {
class Data;
}

// Figures of the database file copy and the report of a loaded book.
struct DatabaseBench {
    int rows = 0;
    double bareMs = 0;   // a bare prepared insert of the same rows in one transaction
    double jobMs = 0;    // the copy job
    double shellMs = 0;  // the sqlite3 shell importing the same rows from CSV; 0: no shell
    double reportMs = 0; // the report opened
    double pdfMs = 0;    // every page of the report printed to PDF
    int pdfPages = 0;
};

DatabaseBench benchDatabaseFile(const QString& dir, const QByteArray& book, int count, pb::Data* data);
// Prints the table; false when a figure misses its target.
bool printDatabaseBench(const DatabaseBench& b);
