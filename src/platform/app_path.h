#pragma once

#include <QString>

namespace pb {

// The program folder, always ending in "/": where the default book and the working
// files are kept. Worked out once per run (programFolderNow).
QString programFolder();
// The folder named by DORVANE_HOME when it is set, else the per-user data folder
// (following XDG_DATA_HOME); made when missing. Never the executable's folder: a
// user's book must not live in a build tree that a clean rebuild deletes.
QString programFolderNow();
// Tests put the program folder somewhere temporary.
void setProgramFolder(const QString& folder);

} // namespace pb
