#pragma once

#include "workspace/help_class.h"

#include <QString>

namespace pb {

// Shows the window of that name (sound 102 first); unknown names show nothing.
void ShowForm(const QString& FormName);
// Asks for any file through the frame's dialog; "" when the user cancels.
QString SelectFileName();
// The program folder, ending in "/".
QString AppPath();
// Opens a help file; a failure is reported in a box of its own.
void ShowHelpFile(const QString& HelpFile);
// Shows the about window, modeless; errors are ignored.
void ShowAbout();
// Hands a folder (never a file) to the desktop's file manager; says so when it cannot.
void OpenFolder(const QString& folder);

// The shared HelpClass instances, created on first use.
HelpClass& ErrHelp();
HelpClass& SoundHelp();
void releaseErrHelp();
bool errHelpExists();
// Plays a sound effect if sounds are on.
void playSound(int id);

} // namespace pb
