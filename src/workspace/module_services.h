#pragma once

#include "workspace/help_class.h"

#include <QString>

#include <functional>
#include <memory>

class QPrinter;

namespace pb {

class BookLock;
class VbError;

class CommonDialog;
class Steps;

// Shows the window of that name (sound 102 first); unknown names show nothing.
void ShowForm(const QString& FormName);
// Brings the surfer up (with its sound) and takes it to `address`, as the handler window's
// button does; a failure to navigate reaches the caller.
void ShowSurferAt(const QString& address);
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

// A place the user named to write, checked before anything is written: true, after
// telling the user, when it would land on the open phonebook, one of its files or one
// of Dorvane's working files. With `wholeFolder`, `path` is a folder filled or replaced
// as a whole. `title` is the title of the dialog that asked for the name.
bool refusedTarget(const QString& path, const QString& title, bool wholeFolder = false);
// The same for the file a print dialog's print-to-file option named on `printer`.
bool printsToRefusedFile(const QPrinter& printer, const QString& title);
// The refusal itself, for a place found refused by other means.
void tellRefusedTarget(const QString& path, const QString& title);
// Tells that another running copy holds a book: `e` is the err::BookInUse naming it.
void tellBookInUse(const VbError& e);
// This copy's hold on the book `databaseFile`; nullptr, once the user is told, when another
// running copy holds it.
std::unique_ptr<BookLock> holdBookOrTell(const QString& databaseFile);
// Shows `dialog`'s Save As (through `step`) until the user names a place that may be written:
// `refused` (by default refusedTarget of the name) tells the user why not. False when the user
// cancelled; the name is then in `dialog.FileName`.
bool askSaveTarget(CommonDialog& dialog, Steps& step, const QString& ext, const QString& filter,
                   const std::function<bool()>& refused = {});

// The shared HelpClass instances, created on first use.
HelpClass& ErrHelp();
HelpClass& SoundHelp();
void releaseErrHelp();
bool errHelpExists();
// Plays a sound effect if sounds are on.
void playSound(int id);

} // namespace pb
