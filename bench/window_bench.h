#pragma once

#include "table.h"

namespace pb {
class Data;
}

namespace pbbench {

class SilentPrompts;

// The phone book window's look commands, its File menu and its whole-book copies.
struct WindowBench {
    Table looks;    // against a plain repaint of the window
    Table fileMenu; // against a raw read of a full attachment index
    Table copies;   // against `cp -r` of the same files and a `sync` of each
    double copiedMb = 0;
};

// Runs on the loaded window `d` over the book at `path` in `folder`; `silent` answers its file dialogs.
WindowBench benchWindow(const QString& folder, const QString& path, qsizetype bookSize, pb::Data* d,
                        SilentPrompts& silent);
// Prints the tables; false when a row misses its target.
bool printWindowBench(const WindowBench& b);

} // namespace pbbench
