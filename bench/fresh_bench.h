#pragma once

#include <QString>

// Figures that only a process of their own gives: the first web export of a run, and the
// memory the report adds to a program that has done nothing else yet.
struct FreshBench {
    double firstWebMs = 0;   // the first web export of the process (the whole command)
    double laterWebMs = 0;   // the fourth export of the same process
    double reportMb = 0;     // resident memory the open report adds
    double reportPeakMb = 0; // the highest resident memory while it opened, above the start
};

// In a child started by freshBench: runs its part on the book in `argv[2]`'s folder,
// prints its figures and returns the exit code. -1 when this process is no such child.
int runFreshChild(int argc, char** argv);
// Starts this program again once for each figure, on the book in `folder`.
FreshBench freshBench(const QString& folder);
// Prints the rows; false when a figure misses its target.
bool printFreshBench(const FreshBench& b);
