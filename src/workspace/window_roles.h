#pragma once

#include "workspace/forms.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace pb {

// What the windows ask of each other. A window takes on a role by deriving from it, and the
// others find it by its registered name: none of them needs another's header.

// The text editor, "frmEditor".
class TextViewer {
public:
    virtual ~TextViewer() = default;
    // The file as the editor's document: rich text when it is RTF, plain text otherwise.
    virtual void loadDocument(const QString& path) = 0;
    // One of the program's own code-page text files (the print file) as the document.
    virtual void loadCodePageDocument(const QString& path) = 0;
    // `text` in place of the document, as one edit that Undo takes back.
    virtual void replaceDocument(const QString& text) = 0;
    virtual void refreshDocument() = 0;
    // Prints `text`, or the code-page text file at `path`, as the editor prints; its document stays.
    virtual void printText(const QString& text) = 0;
    virtual void printFile(const QString& path) = 0;
};

// The web surfer, "frmBrowser".
class PageViewer {
public:
    virtual ~PageViewer() = default;
    // Takes the surfer to any address: a path, "www.x" or a whole web address.
    virtual void NavigateTo(const QString& address) = 0;
};

// The media player, "frmMediaPlayer".
class FilmPlayer {
public:
    virtual ~FilmPlayer() = default;
    // Shows the player and plays the file, raising what the player raises.
    virtual void playFile(const QString& path) = 0;
};

// The phone book window, "Data".
class PhoneBookWindow {
public:
    virtual ~PhoneBookWindow() = default;
    // Unloads and loads the window again in place; `whileUnloaded` runs between.
    virtual void reload(const std::function<void()>& whileUnloaded = {}) = 0;
    // How the window is dressed, for windows that dress alike.
    struct Look {
        int32_t backColor = 0; // as stored in the book's settings
        QFont textFont;        // the first field's
        QColor textColor;
    };
    virtual Look look() const = 0;
};

// The window of that name in its role, loaded on first use. A name no window offering the
// role registered is a fault of the program, raised for the step that asked.
template <class Role> Role& windowAs(const QString& name) {
    if (auto* role = dynamic_cast<Role*>(Forms::byName(name))) return *role;
    throw std::logic_error("no window " + name.toStdString() + " in that role");
}

// The same for a window already loaded; nullptr when it is not.
template <class Role> Role* loadedWindowAs(const QString& name) {
    return dynamic_cast<Role*>(Forms::findByName(name));
}

} // namespace pb
