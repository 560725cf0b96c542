#pragma once

#include "timing.h"

#include <QString>
#include <vector>

namespace pbbench {

// An operation of a table; `target` is the ratio to the table's baseline it must stay within (0: none).
struct Case {
    QString what;
    Work work;
    double target = 0;
};

struct Row {
    QString what;
    double ms = 0;
    double target = 0;
};

struct Table {
    double base = 0;
    std::vector<Row> rows;
    int rounds = 0; // the turns of each
};

// Times the cases by turns with the baseline (see byTurns).
Table timeTable(const Work& base, const std::vector<Case>& cases, int rounds = 7);

// Prints the table in Markdown, the baseline (`baseRow`) first; false when a row misses its target.
bool printTable(const Table& table, const QString& baseRow, const QString& against);

} // namespace pbbench
