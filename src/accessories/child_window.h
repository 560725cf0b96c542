#pragma once

#include "workspace/forms.h"

#include <QMdiSubWindow>
#include <map>

class QMenuBar;
class QVBoxLayout;

namespace pb {

// An accessory window inside the frame: a menu bar of its own over its content.
// Closing it is its unload.
class ChildWindow : public QMdiSubWindow, public Form {
    Q_OBJECT
public:
    explicit ChildWindow(const char* name, const QString& caption);
    QWidget* widget() override { return this; }
    bool isMdiChild() const override { return true; }
    QMenuBar* childMenus() const override { return m_menuBar; }

    QAction* action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The window's menu bar (built on first call). It stays hidden: its menus show in the
    // frame's bar while the window is active.
    QMenuBar* menus();
    // Every menu item by name.
    std::map<QString, QAction*> m_actions;
    QWidget* m_content;
    QVBoxLayout* m_layout;

private:
    QMenuBar* m_menuBar = nullptr;
};

} // namespace pb
