#pragma once

#include "table.h"

namespace pbbench {

class SilentPrompts;

struct SettingsBench {
    Table open;           // against the window's whole load with the same paint
    int syncsPerOpen = 0; // the most settings-file syncs one File > Open caused
};

// File > Open of the book at `path` in the frame, the whole command; `silent` answers its file dialog.
SettingsBench benchSettings(const QString& path, SilentPrompts& silent);
// Prints the table; false when the row misses its time or makes more than one sync.
bool printSettingsBench(const SettingsBench& b);

} // namespace pbbench
