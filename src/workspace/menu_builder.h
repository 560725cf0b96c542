#pragma once

#include "workspace/publisher_pages.h"

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
    // The Online menu of a window: each item opens its page of the publisher's site,
    // by default through ShowPublisherPage.
    QMenu* onlineMenu(OnlineMenu which, std::function<void(const QString&)> open = {});
    // The Window menu every window of the workspace has: the four arrangements of the
    // frame's children, then the children themselves.
    QMenu* windowMenu();

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
