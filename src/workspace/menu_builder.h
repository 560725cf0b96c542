#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <map>

namespace pb {

// Builds a window's menus from names, captions and shortcuts. An item without
// a handler is a command that is not there yet: it is shown disabled.
struct MenuBuilder {
    using Handler = std::function<void()>;

    QWidget* window;
    QMenuBar* bar;
    std::map<QString, QAction*>& actions;

    QAction* item(QMenu* menu, const char* name, const char* caption, const char* shortcut = nullptr,
                  Handler handler = {}, bool hidden = false);
    QMenu* sub(QMenu* parent, const char* name, const char* caption, bool hidden = false);
    QMenu* top(const char* name, const char* caption);
    static void sep(QMenu* m, bool hidden = false) { m->addSeparator()->setVisible(!hidden); }
    // The Online menu of the publisher's pages, which the frame and the phone book window
    // share; the two windows name their sports and world items differently.
    QMenu* onlineMenu(const char* sportsName, const char* worldName);

private:
    QMenu* named(QMenu* m, const char* name);
};

// Pops up a right-click menu at a point of the screen. Tests put a watcher in
// place of the real popup.
struct Popup {
    static void show(QMenu* menu, const QPoint& at);
    static inline std::function<void(QMenu*, const QPoint&)> watcher;
};

} // namespace pb
