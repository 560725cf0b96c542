#pragma once

#include <QString>

namespace pb {

// The program folder, always ending in "/": the executable's folder, or the
// per-user data folder where that one cannot be written (an installed program).
QString programFolder();
// Tests put the program folder somewhere temporary.
void setProgramFolder(const QString& folder);

} // namespace pb
